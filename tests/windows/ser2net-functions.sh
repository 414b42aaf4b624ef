# shellcheck shell=bash
# Sourced by the Wine scripts that serve a simulator's line over the network with Debian's
# ser2net, running natively beside Wine.

# A loopback TCP port below the ephemeral range that the system lists nowhere.
free_port() {
  local port
  while :; do
    port=$((20000 + RANDOM % 12000))
    if ! grep -qi ":$(printf '%04X' "$port") " /proc/net/tcp /proc/net/tcp6 2>/dev/null; then
      echo "$port"
      return
    fi
  done
}

# Asked of the system, not by connecting: a probe client would take ser2net's one client slot.
listening() { grep -qi "0100007F:$(printf '%04X' "$1") 00000000:0000 0A" /proc/net/tcp; }
all_listening() {
  local port
  for port in "$@"; do
    listening "$port" || return 1
  done
}

# ser2net_connection NAME ACCEPTER DEVICE: one connection block of a ser2net YAML config, serving
# the pty DEVICE at 9600 bit/s. local: no modem control lines, which a pty does not have.
ser2net_connection() {
  printf 'connection: &%s\n  accepter: %s\n  connector: serialdev,%s,9600n81,local\n' "$1" "$2" "$3"
}

# start_ser2net CONFIG PORT...: ser2net on CONFIG, its log beside it, until it listens on every
# PORT; its pid in ser2net_pid. -u: no UUCP lock file, which a killed server would leave behind.
start_ser2net() {
  local config=$1
  shift
  /usr/sbin/ser2net -n -u -c "$config" >"${config%.yaml}.log" 2>&1 &
  ser2net_pid=$!
  # Killed on purpose at times: no job notice for it.
  disown "$ser2net_pid"
  for _ in $(seq 100); do
    all_listening "$@" && return 0
    sleep 0.05
  done
  echo "ser2net does not listen on $*:" >&2
  cat "${config%.yaml}.log" >&2
  return 1
}
