#!/usr/bin/env bash
# The PostgreSQL server of the test suite: a cluster of its own in a private folder, listening only
# on a socket there, never on the network. "start FOLDER" makes and starts it (any earlier one in the
# folder is stopped and removed first); "restart FOLDER" restarts it (every session ends); "stop
# FOLDER" stops it and removes the folder. Members of the role tavrix_password_users must give their
# password; everyone else is trusted. The server refuses to run as root: as root, its files belong to
# the postgres user and it runs as that user.
set -euo pipefail
action="${1:?start or stop}"
folder="${2:?the server folder}"
bin=/usr/lib/postgresql/15/bin

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

stop() {
  if [ -f "$folder/data/postmaster.pid" ]; then
    as_owner "$bin/pg_ctl" -D "$folder/data" -m immediate -w -t 30 stop >/dev/null 2>&1 || true
  fi
  rm -rf "$folder"
}

case "$action" in
  start)
    stop
    mkdir -p "$folder"
    chmod 700 "$folder"
    if [ "$(id -u)" -eq 0 ]; then chown postgres: "$folder"; fi
    if ! as_owner "$bin/initdb" -D "$folder/data" -U postgres --auth=trust -E UTF8 --lc-collate=C \
        --lc-ctype=C.UTF-8 >"$folder/initdb.log" 2>&1; then
      cat "$folder/initdb.log" >&2
      exit 1
    fi
    { echo "local all +tavrix_password_users scram-sha-256"; cat "$folder/data/pg_hba.conf"; } >"$folder/pg_hba.conf"
    as_owner cp "$folder/pg_hba.conf" "$folder/data/pg_hba.conf"
    # Durability is the server's setting: the tests trade it for speed, which no answer depends on
    # (TAVRIX_PG_DURABLE=1 keeps the server's defaults, for a benchmark).
    durability="-c fsync=off -c full_page_writes=off"
    [ "${TAVRIX_PG_DURABLE:-0}" = 1 ] && durability=""
    if ! as_owner "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 start -o \
        "-c listen_addresses='' -c unix_socket_directories='$folder' $durability -c max_connections=60" \
        >/dev/null; then
      cat "$folder/server.log" >&2
      exit 1
    fi
    "$bin/psql" -q -h "$folder" -U postgres -d postgres -c "CREATE ROLE tavrix_password_users NOLOGIN" >/dev/null
    ;;
  restart)
    # A server stuck in its shutdown (one that met a full disk, on a loaded machine) is stopped at once.
    as_owner "$bin/pg_ctl" -D "$folder/data" -m fast -w -t 30 restart >/dev/null 2>&1 ||
      as_owner "$bin/pg_ctl" -D "$folder/data" -m immediate -w -t 60 restart >/dev/null
    ;;
  stop) stop ;;
  *) echo "usage: $0 start|restart|stop FOLDER" >&2; exit 2 ;;
esac
