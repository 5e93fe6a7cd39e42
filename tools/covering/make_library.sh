#!/bin/sh
# The own-system library: the smallest covering the search finds for every request the own-system tab
# offers whose covering is not trivial (after the bases, at least 3 horses per ticket and a guarantee
# of at least 2 other horses, up to 20 horses).
#
#   make_library.sh search PATH_TO_covering_search DIR    one file per covering in DIR (resumable)
#   make_library.sh assemble DIR > src/combi/own_library.txt
#   make_library.sh table DIR                             the README's table of sizes
#   make_library.sh grow PATH_TO_covering_search DIR STOP [DIVISOR]
#                                                         the Multi's families C(v, 6, 4) and
#                                                         C(v, 7, 4) in DIR (resumable), C(v, 4) /
#                                                         DIVISOR seconds each (25 by default),
#                                                         nothing started after the time STOP
#                                                         (date +%s)
#   make_library.sh growmore PATH_TO_covering_search DIR STOP DIVISOR [PASS]
#                                                         those of the Multi's families above 1.05
#                                                         times the published size again, from their
#                                                         best table, seed PASS (2 by default),
#                                                         C(v, 4) / DIVISOR s
#   make_library.sh rerun PATH_TO_covering_search DIR STOP SEED SECONDS V K T...
#                                                         coverings of the library again from the
#                                                         search's start of today, on one thread
#   make_library.sh append DIR                            the blocks of the coverings in DIR that
#                                                         own_library.txt lacks, to add to it
#
# Each covering is searched on one processor core under nice -n 19, from a greedy covering down one
# block at a time, until the processor time of its budget is spent or the Schönheim bound is reached,
# in two passes so that the library is whole early and the rest of the time goes where it can help:
#   1. every covering with C(v, t) / 200 seconds (at least 1), seed 1;
#   2. every covering still above its bound again, from the table of pass 1, with seed 2 and
#      C(v, t) / 20 seconds, the large ones last: first those a published covering beats, then the
#      others (one at its best published size is left as it is);
#   3. those a published covering still beats, from the best table so far, seed 3, C(v, t) / 40 s;
#   4. those a published covering still beats, on two threads that exchange their tables, from the
#      best table so far, seed 4, C(v, t) / 4 s of processor time (about 50 minutes on two cores).
# A run made by hand (DIR/C-v-k-t.log5, its table in .txt and its line alone in .log) counts in the
# table's processor time.
# Passes 1 to 3 take at most about an hour of one core in all. C(13,5,4) and C(14,5,4) start from the catalogue's tables
# (systems 16 and 17). The search is deterministic for a seed, a start and a move count: the moves
# logged by a one-thread pass reproduce its table with --max-moves. A two-thread run stopped by its
# processor time logs the moves of both threads, which a move budget would split evenly: it is not
# replayed move for move (the library's test proves its table like every other).
set -e
mode=$1
here=$(cd "$(dirname "$0")" && pwd)
catalogue=$here/../../src/combi/system_tables.txt

# Every covering, one line "v k t budget1 budget2", easy ones first.
coverings() {
    awk 'function binom(n, r,   i, x) { x = 1; for (i = 1; i <= r; ++i) x = x * (n - r + i) / i; return x }
        BEGIN {
            for (k = 3; k <= 5; ++k)
                for (t = 2; t < k; ++t)
                    for (v = k + 1; v <= 20; ++v) {
                        c = binom(v, t)
                        b1 = int(c / 200); if (b1 < 1) b1 = 1
                        b2 = int(c / 20); if (b2 < 2) b2 = 2
                        print v, k, t, b1, b2
                    }
        }' | sort -n -k5 -k1 -k2 -k3
}

# The rows of a catalogue system as points separated by blanks.
catalogueBlocks() {
    awk -v want="system $1" '/^system /{on = ($0 == want); next} on && /^[0-9]/ {gsub("-", " "); print}' "$catalogue"
}

# The blocks and the bound of a covering's best table so far: "blocks bound".
sizeOf() {
    sed -n 's/.* share 100%: \([0-9]*\) blocks,.* bound \([0-9]*\),.*/\1 \2/p' "$1" | tail -n 1
}

# The best published size of C(v, k, t), empty when this project was not told one.
publishedSize() {
    awk -v key="C($1,$2,$3)" '$1 == key { print $2 }' "$here/published_sizes.txt"
}

# One more search of covering $v $k $t ($name) from its best table so far: the pass, the seed, the
# processor seconds, then more options for the tool. The table is kept when it is smaller, and the
# pass's line is then added to the covering's log.
improve() {
    pass=$1 seed=$2 seconds=$3
    shift 3
    tr '-' ' ' < "$name.txt" > "$name.start$pass"
    nice -n 19 "$search" --descend "$@" --v "$v" --k "$k" --t "$t" --seed "$seed" --max-seconds 0 \
        --cpu-seconds "$seconds" --start "$name.start$pass" > "$name.part" 2> "$name.part$pass" \
        || { cat "$name.part$pass" >&2; exit 1; }
    mv "$name.part$pass" "$name.log$pass"
    cat "$name.log$pass" >&2
    set -- $(sizeOf "$name.log") $(sizeOf "$name.log$pass")
    if [ "$3" -lt "$1" ]; then
        cat "$name.log$pass" >> "$name.log"
        mv "$name.part" "$name.txt"
    else
        rm -f "$name.part"
    fi
}

# The Multi's families, one line "v k t budget", easy ones first: C(v, 4) / $1 seconds each.
multiCoverings() {
    awk -v divisor="$1" 'function binom(n, r,   i, x) { x = 1; for (i = 1; i <= r; ++i) x = x * (n - r + i) / i; return x }
        BEGIN {
            for (k = 6; k <= 7; ++k)
                for (v = k + 1; v <= 20; ++v) {
                    b = int(binom(v, 4) / divisor); if (b < 1) b = 1
                    print v, k, 4, b
                }
        }' | sort -n -k4 -k1 -k2
}

case $mode in
grow)
    # One pass from the search's own start (the better greedy), seed 1, one thread; a covering
    # whose run would start after STOP is left for later.
    search=$2 dir=$3 stop=$4 divisor=${5:-25}
    mkdir -p "$dir"
    multiCoverings "$divisor" | while read -r v k t budget; do
        name=$dir/C-$v-$k-$t
        [ -s "$name.txt" ] && continue
        [ "$(date +%s)" -lt "$stop" ] || break
        nice -n 19 "$search" --descend --v "$v" --k "$k" --t "$t" --seed 1 --max-seconds 0 \
            --cpu-seconds "$budget" > "$name.part" 2> "$name.log1" || { cat "$name.log1" >&2; exit 1; }
        cp "$name.log1" "$name.log"
        mv "$name.part" "$name.txt"
        cat "$name.log1" >&2
    done
    ;;
growmore)
    search=$2 dir=$3 stop=$4 divisor=$5 pass=${6:-2}
    multiCoverings "$divisor" | while read -r v k t budget; do
        name=$dir/C-$v-$k-$t
        [ -s "$name.txt" ] && [ ! -s "$name.log$pass" ] || continue
        [ "$(date +%s)" -lt "$stop" ] || break
        published=$(publishedSize "$v" "$k" "$t")
        set -- $(sizeOf "$name.log")
        [ "$1" -gt "$2" ] || continue
        [ -z "$published" ] || [ $(($1 * 100)) -gt $((published * 105)) ] || continue
        improve "$pass" "$pass" "$budget"
    done
    ;;
rerun)
    # Coverings given as "V K T" triples, each searched from scratch (the search's start of today)
    # with SEED for SECONDS of processor time on one thread; DIR keeps the table when the library's
    # is larger, which `append` then prints for the library.
    search=$2 dir=$3 stop=$4 seed=$5 seconds=$6
    shift 6
    mkdir -p "$dir"
    while [ $# -ge 3 ]; do
        v=$1 k=$2 t=$3
        shift 3
        name=$dir/C-$v-$k-$t
        [ -s "$name.txt" ] && continue
        [ "$(date +%s)" -lt "$stop" ] || break
        nice -n 19 "$search" --descend --v "$v" --k "$k" --t "$t" --seed "$seed" --max-seconds 0 \
            --cpu-seconds "$seconds" > "$name.part" 2> "$name.log1" || { cat "$name.log1" >&2; exit 1; }
        cp "$name.log1" "$name.log"
        mv "$name.part" "$name.txt"
        cat "$name.log1" >&2
    done
    ;;
append)
    dir=$2
    for log in "$dir"/C-*.log; do
        name=${log%.log}
        set -- $(basename "$name" | tr 'C-' '  ')
        v=$1 k=$2 t=$3
        how=$(sed -n 's/^C([0-9,]*) share 100%: \([0-9]*\) blocks, seed \([0-9]*\), \([0-9]*\) moves, \([0-9.]*\) s processor.*bound \([0-9]*\),.*/\1 \2 \3 \4 \5/p' "$log" |
            awk '{ if (NR > 1) printf ", then from that table "; printf "seed %s, %s moves, %s s", $2, $3, $4; size = $1; bound = $5 }
                END { printf "; %s blocks, Schönheim bound %s", size, bound }')
        published=$(publishedSize "$v" "$k" "$t")
        [ -n "$published" ] && how="$how, best published $published"
        echo
        echo "covering $v $k $t"
        echo "# $how"
        awk '/^[0-9]/ { gsub(" ", "-"); print }' "$name.txt"
    done
    ;;
search)
    search=$2 dir=$3
    mkdir -p "$dir"
    # Pass 1.
    coverings | while read -r v k t budget1 budget2; do
        name=$dir/C-$v-$k-$t
        [ -s "$name.txt" ] && continue
        start=""
        if [ "$v $k $t" = "13 5 4" ]; then
            catalogueBlocks 16 > "$name.start"; start="--start $name.start"
        elif [ "$v $k $t" = "14 5 4" ]; then
            catalogueBlocks 17 > "$name.start"; start="--start $name.start"
        fi
        # shellcheck disable=SC2086
        nice -n 19 "$search" --descend --v "$v" --k "$k" --t "$t" --seed 1 --max-seconds 0 \
            --cpu-seconds "$budget1" $start > "$name.part" 2> "$name.log1" || { cat "$name.log1" >&2; exit 1; }
        cp "$name.log1" "$name.log"
        mv "$name.part" "$name.txt"
        cat "$name.log1" >&2
    done
    # Pass 2: from the table of pass 1, the seed changed; first the coverings a published table
    # beats, then the others above their bound (a covering at its best published size is left).
    for round in published others; do
        coverings | while read -r v k t budget1 budget2; do
            name=$dir/C-$v-$k-$t
            [ -s "$name.log2" ] && continue
            set -- $(sizeOf "$name.log")
            [ "$1" -gt "$2" ] || continue
            published=$(publishedSize "$v" "$k" "$t")
            if [ "$round" = published ]; then
                [ -n "$published" ] && [ "$published" -lt "$1" ] || continue
            else
                [ -z "$published" ] || [ "$published" -lt "$1" ] || continue
            fi
            improve 2 2 "$budget2"
        done
    done
    # Pass 3: the coverings a published table still beats, once more from the best table so far,
    # with seed 3 and C(v, t) / 40 seconds.
    coverings | while read -r v k t budget1 budget2; do
        name=$dir/C-$v-$k-$t
        [ -s "$name.log3" ] && continue
        set -- $(sizeOf "$name.log")
        published=$(publishedSize "$v" "$k" "$t")
        [ -n "$published" ] && [ "$published" -lt "$1" ] || continue
        improve 3 3 $((budget2 / 2))
    done
    # Pass 4: every covering a published table still beats, from the best table so far, with the
    # search that restarts each size from the best table less another block, on two threads that
    # exchange their tables (--workers 2), seed 4 and C(v, t) / 4 seconds of processor time (both
    # threads counted), the small ones first.
    coverings | while read -r v k t budget1 budget2; do
        name=$dir/C-$v-$k-$t
        [ -s "$name.log4" ] && continue
        set -- $(sizeOf "$name.log")
        published=$(publishedSize "$v" "$k" "$t")
        [ -n "$published" ] && [ "$published" -lt "$1" ] || continue
        improve 4 4 $((budget2 * 5)) --workers 2
    done
    ;;
assemble)
    dir=$2
    cat <<'HEAD'
# Own systems shipped with the program: the smallest covering found for each covering design C(v, k, t)
# an own system can amount to (v other horses, k of them per ticket, every t of them in some ticket;
# the bases come in front of every ticket). Made by tools/covering/make_library.sh; each block says how
# it was found, its size beside the best published size (where known) and the Schönheim lower bound.
# One block per covering: a line "covering V K T", then one block per line, its points (1..V) joined
# by hyphens. Lines starting with # and blank lines are ignored.
HEAD
    coverings | sort -n -k3 -k2 -k1 | while read -r v k t budget1 budget2; do
        name=$dir/C-$v-$k-$t
        [ -s "$name.txt" ] || continue
        echo
        echo "covering $v $k $t"
        # One comment line: each pass that made the table, the size, the bound and the best published
        # size where tools/covering/README.md lists one.
        how=$(sed -n 's/^C([0-9,]*) share 100%: \([0-9]*\) blocks, seed \([0-9]*\), \([0-9]*\) moves, \([0-9.]*\) s processor.*bound \([0-9]*\),.*/\1 \2 \3 \4 \5/p' "$name.log" |
            awk '{ if (NR > 1) printf ", then from that table "; printf "seed %s, %s moves, %s s", $2, $3, $4; size = $1; bound = $5 }
                END { printf "; %s blocks, Schönheim bound %s", size, bound }')
        published=$(publishedSize "$v" "$k" "$t")
        [ -n "$published" ] && how="$how, best published $published"
        [ -s "$name.start" ] && how="started from the catalogue's table; $how"
        echo "# $how"
        awk '/^[0-9]/ { gsub(" ", "-"); print }' "$name.txt"
    done
    ;;
table)
    dir=$2
    echo "| Covering | Blocks | Best published | Schönheim bound | Processor time |"
    echo "|---|---|---|---|---|"
    total=0
    coverings | sort -n -k3 -k2 -k1 | while read -r v k t budget1 budget2; do
        name=$dir/C-$v-$k-$t
        [ -s "$name.txt" ] || continue
        published=$(publishedSize "$v" "$k" "$t")
        { cat "$name.log1" 2>/dev/null || cat "$name.log"; cat "$name.log2" "$name.log3" "$name.log4" "$name.log5" 2>/dev/null; } | sed -n 's/.* \([0-9.]*\) s processor.*/\1/p' |
            awk -v c="C($v,$k,$t)" -v size="$(sizeOf "$name.log")" -v p="${published:-—}" '
                { s += $1 } END { split(size, f, " "); printf "| %s | %s | %s | %s | %.0f s |\n", c, f[1], p, f[2], s }'
    done
    ;;
*)
    echo "usage: make_library.sh search PATH_TO_covering_search DIR | assemble DIR | table DIR" >&2
    exit 2
    ;;
esac
