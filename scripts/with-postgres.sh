#!/usr/bin/env bash
# Runs a command with a PostgreSQL server of its own: a new cluster in a
# temporary folder, reached only through a socket in that folder, run by an
# unprivileged user (the server refuses to run as root), stopped and removed
# when the command ends. The command finds it in OMIRA_TEST_POSTGRES (libpq's
# connection text); the tests make a schema of their own in it.
# Durability is switched off for the tests (a commit then costs no sync); with
# OMIRA_PG_DURABLE=1 the server keeps PostgreSQL's own settings, as the
# benchmarks need for times a shop would see.
set -euo pipefail

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [[ -z $bin || ! -x $bin/initdb ]]; then
    echo "with-postgres: no PostgreSQL server installed (apt-get install postgresql)" >&2
    exit 1
fi

folder=$(mktemp -d /tmp/omira-pg.XXXXXX)
as_owner=()
if [[ $(id -u) == 0 ]]; then
    owner=postgres
    id "$owner" >/dev/null 2>&1 || owner=nobody
    chown "$owner" "$folder"
    as_owner=(runuser -u "$owner" --)
fi
chmod 755 "$folder"

stop_server() {
    (cd "$folder" && "${as_owner[@]}" "$bin/pg_ctl" -D "$folder/data" -m immediate stop >/dev/null 2>&1) || true
    rm -rf "$folder"
}
trap stop_server EXIT

cd "$folder"
"${as_owner[@]}" "$bin/initdb" -D "$folder/data" -A trust -U omira -E UTF8 --locale=C.UTF-8 >"$folder/initdb.log" 2>&1 ||
    { cat "$folder/initdb.log" >&2; exit 1; }
options="-k $folder -c listen_addresses= -c max_connections=200"
if [[ ${OMIRA_PG_DURABLE:-0} != 1 ]]; then
    options+=" -c fsync=off -c synchronous_commit=off -c full_page_writes=off"
fi
"${as_owner[@]}" "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -o "$options" start >/dev/null ||
    { cat "$folder/server.log" >&2; exit 1; }
"$bin/psql" -q -h "$folder" -U omira -d postgres -c "CREATE DATABASE omira_test" >/dev/null
cd - >/dev/null

export OMIRA_TEST_POSTGRES="host=$folder user=omira dbname=omira_test"
"$@"
