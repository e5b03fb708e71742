# Sourced by the benches: the jobs they time and what they tell of them. The caller sets $dir
# (the scratch folder, with times/ in it) before it defines jobs.

# The jobs, each a name, its label in the tables, how many runs it gets at most, and its
# command; the target is the command's last argument.
names=() labels=() limits=() commands=()
job() {
  names+=("$1") labels+=("$2") limits+=("$3")
  shift 3
  commands+=("$(printf '%q ' "$@")")
}

busy() { awk '/^cpu / { print $2 + $3 + $4 + $7 + $8 + $9 }' /proc/stat; }  # clock ticks
ticks=$(getconf CLK_TCK) cores=$(nproc)
# One run of job $1: "wall cpu peak-KiB voluntary-switches involuntary-switches others-%"
# appended to its times file, others-% being the share of the cores that other processes took
# meanwhile; its standard error goes to its log. Stops the bench when the job fails.
measure() {
  local i=$1 before
  eval "set -- ${commands[$i]}"
  before=$(busy)
  if ! /usr/bin/time -f "%e %U %S %M %w %c" -o "$dir/time.txt" "$@" >/dev/null 2>"$dir/${names[$i]}.log"
  then
    echo "${names[$i]} failed: $*; see $dir/${names[$i]}.log" >&2
    exit 1
  fi
  awk -v busy="$(($(busy) - before))" -v ticks="$ticks" -v cores="$cores" '{
    others = 100 * (busy / ticks - $2 - $3) / ($1 * cores)
    printf "%s %.2f %s %s %s %.0f\n", $1, $2 + $3, $4, $5, $6, others < 0 ? 0 : others
  }' "$dir/time.txt" >>"$dir/times/${names[$i]}.txt"
}
# "median minimum maximum" of column $2 of the times of job $1.
stats() {
  sort -n -k"$2" "$dir/times/$1.txt" | awk -v c="$2" '{ v[NR] = $c }
    END { printf "%s %s %s\n", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2, v[1], v[NR] }'
}
field() { stats "$1" "$2" | cut -d' ' -f"$3"; }  # field $3 (1 median, 2 min, 3 max) of stats
calc() { awk "BEGIN { printf \"$1\", $2 }"; }     # calc FORMAT EXPRESSION
mib() { calc %.0f "$(field "$1" 3 1) / 1024"; }   # median peak memory of job $1
verdict() { [ "$(calc %d "($1)")" = 1 ] && echo "met" || echo "NOT met"; }
goal() { printf '%-48s %-12s %-10s %s\n' "$1" "$2" "$3" "$4"; }

# Rounds of every job below $1 (the first $1 jobs), each job once a round up to its limit;
# before them one warming-up run each, whose times are dropped. Notes the load and what
# other processes took meanwhile in $load_before, $load_after, $wall and $others.
rounds() {
  local tables=$1 runs=$2 busy_before busy_after started ended jobs_cpu
  rm -f "$dir"/times/*.txt
  echo "warming up (page cache) ..."
  for i in $(seq 0 $((tables - 1))); do
    [ "${limits[$i]}" -gt 1 ] && measure "$i"
  done
  rm -f "$dir"/times/*.txt
  echo "measuring: $runs rounds, each job once a round ..."
  load_before=$(cut -d' ' -f1-3 /proc/loadavg)
  busy_before=$(busy) started=$(date +%s.%N)
  for round in $(seq "$runs"); do
    for i in $(seq 0 $((tables - 1))); do
      [ "$round" -le "${limits[$i]}" ] && measure "$i"
    done
  done
  busy_after=$(busy) ended=$(date +%s.%N)
  load_after=$(cut -d' ' -f1-3 /proc/loadavg)
  # What the others on the machine took while the rounds ran: all busy time less the jobs'.
  jobs_cpu=$(cat "$dir"/times/*.txt | awk '{ s += $2 } END { print s }')
  wall=$(calc %.1f "$ended - $started")
  others=$(calc %.1f "($busy_after - $busy_before) / $ticks - $jobs_cpu")
}
