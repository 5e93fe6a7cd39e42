#!/bin/sh
# Writes the blocks "system 6" to "system 53" of src/combi/system_tables.txt to standard output.
# Usage: make_tables.sh PATH_TO_covering_search
# The search log (size, seed, time of each covering) goes to standard error.
set -e
search=$1

# The searches are deterministic: the time limit only ends a run on a machine far slower than expected (system 16
# takes about 3 minutes of one idle core, system 17 about 8), and changes nothing in what a run that ends writes.
limit=7200

# cover SYSTEM HORSES PER_TICKET BASES TICKETS T BLOCKS [extra options]
# The covering is searched on the HORSES - BASES other positions with blocks of PER_TICKET - BASES, then padded
# with distinct extra rows up to TICKETS.
cover() {
    system=$1 horses=$2 perTicket=$3 bases=$4 tickets=$5 t=$6 blocks=$7
    shift 7
    "$search" --system "$system" --v $((horses - bases)) --k $((perTicket - bases)) --t "$t" --bases "$bases" \
        --blocks "$blocks" --rows "$tickets" --seed 1 --max-seconds "$limit" "$@"
    echo
}

# complete SYSTEM HORSES PER_TICKET BASES: every choice of the other positions.
complete() {
    "$search" --system "$1" --v $(($2 - $4)) --k $(($3 - $4)) --t $(($3 - $4)) --bases "$4" --complete
    echo
}

cover 6 9 5 0 12 3 12
cover 7 12 5 1 11 2 11
cover 8 10 5 0 51 4 51
cover 9 9 5 1 14 3 14
cover 10 8 5 1 12 3 12
cover 11 8 5 0 20 4 20
cover 12 9 5 0 30 4 30
# System 13 is listed without a base, but its description names one: position 1 is in every row.
cover 13 8 4 1 7 2 7
cover 14 11 5 0 66 4 66
cover 15 12 5 0 113 4 113
cover 16 13 5 0 157 4 157
# The hard one: annealing over the 3-cycle orbits with a slow schedule, then a repair of the last uncovered
# 4-subset (about 8 minutes).
"$search" --system 17 --v 14 --k 5 --t 4 --blocks 230 --rows 230 --seed 7 --orbit3 --repair 3 --repair-cost 2 \
    --start-temperature 1.5 --end-temperature 0.3 --cooling 0.999 --reheats 1000 --max-seconds "$limit"
echo
cover 18 11 4 0 50 3 47
cover 19 8 4 0 14 3 14
cover 20 10 5 1 25 3 25
cover 21 11 5 1 34 3 30
cover 22 12 5 1 50 3 47
cover 23 7 4 0 12 3 12
cover 24 7 4 1 6 2 6
cover 25 8 5 2 6 2 6
cover 26 9 5 2 7 2 7
cover 27 10 4 1 12 2 12
cover 28 11 5 2 12 2 12
complete 29 5 3 1
complete 30 6 3 1
complete 31 8 5 1
complete 32 9 5 1
complete 33 11 3 1
complete 34 7 3 1
complete 35 8 3 1
complete 36 9 3 1
complete 37 10 3 1
complete 38 8 4 2
complete 39 9 4 2
complete 40 10 4 2
complete 41 11 4 2
complete 42 7 4 1
complete 43 8 5 2
complete 44 9 4 1
complete 45 10 5 2
complete 46 8 4 1
complete 47 9 5 2
complete 48 12 4 2
complete 49 11 4 1
complete 50 12 4 1
cover 51 11 4 1 18 2 17
cover 52 12 4 1 23 2 19
cover 53 13 4 1 26 2 24
