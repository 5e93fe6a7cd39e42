# The baseline of cli_bench: the file of `marovellix-cli tickets -n 20 -k 5 --complete` on the
# horses 1 to 20, written the way a punter would script it with itertools.
import itertools
import sys

names = [str(h) for h in range(1, 21)]
with open(sys.argv[1], "wb") as out:
    out.write("".join(",".join(t) + ",\r\n" for t in itertools.permutations(names, 5)).encode())
