# Runs the test command's stages one after another, keeps each one's wall and CPU time, and prints them as a table
# at the end, or when a stage fails, with the failing stage last. Sourced by scripts/test.sh.
stage_names=()
stage_seconds=()
stage_cpu=()

# CPU seconds (user and system) of every finished child of this shell so far.
children_cpu() {
  times | awk 'NR == 2 {
    for (i = 1; i <= 2; i++) { split($i, t, "m"); sum += t[1] * 60 + t[2] }
    printf "%d", sum }'
}

# stage NAME COMMAND...: runs COMMAND in a subshell with errexit (also for shell functions); a failure prints the
# table and exits with its status.
stage() {
  local name=$1 start=$SECONDS cpu status
  shift
  cpu=$(children_cpu)
  echo "== $name"
  set +e
  (set -e; "$@")
  status=$?
  set -e
  stage_names+=("$name")
  stage_seconds+=($((SECONDS - start)))
  stage_cpu+=($(($(children_cpu) - cpu)))
  if [ $status -ne 0 ]; then
    stage_table "FAILED: $name (exit $status)"
    exit $status
  fi
}

stage_table() {
  local total=0 i
  echo
  printf '%-60s %8s %8s\n' "Stage" "Wall s" "CPU s"
  for i in "${!stage_names[@]}"; do
    printf '%-60s %8d %8d\n' "${stage_names[$i]}" "${stage_seconds[$i]}" "${stage_cpu[$i]}"
    total=$((total + stage_seconds[i]))
  done
  printf '%-60s %8d  (%d min %d s)\n' "Total" "$total" $((total / 60)) $((total % 60))
  [ $# -eq 0 ] || echo "$1"
}
