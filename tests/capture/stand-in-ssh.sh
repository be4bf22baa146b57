#!/usr/bin/env bash
# Stands in for ssh in the render-video tests (GNU parallel's PARALLEL_SSH): runs the
# command on this machine the way sshd would run it on another, in the home folder with
# a bare environment (no DISPLAY), and notes each host it was asked for in
# $STAND_IN_SSH_LOG. The host named by $STAND_IN_SSH_ODD_HOST finds the programs in
# $STAND_IN_SSH_ODD_PATH first, as a machine with other versions installed would.
#   usage: stand-in-ssh.sh [OPTIONS] HOST [--] COMMAND...
set -euo pipefail
while [ $# -gt 0 ] && [ "${1:0:1}" = - ]; do
  case $1 in
  -o | -l | -p) shift 2 ;;
  *) shift ;;
  esac
done
host=$1
shift
[ "${1:-}" != -- ] || shift
echo "$host" >>"${STAND_IN_SSH_LOG:-/dev/null}"
cd "$HOME"
path=/usr/local/bin:/usr/bin:/bin
[ "$host" != "${STAND_IN_SSH_ODD_HOST:-}" ] || path=$STAND_IN_SSH_ODD_PATH:$path
exec env -i HOME="$HOME" PATH="$path" SHELL=/bin/bash bash -c "$*"
