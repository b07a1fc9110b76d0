# shellcheck shell=bash
# The local mail server for the end-to-end tests (tools/smtpd/smtpd.py).
# Source this file, then:
#   smtpd_start   starts it on free loopback ports and exports
#                 PIPWARDEN_SMTP_STARTTLS_PORT   STARTTLS required before AUTH
#                 PIPWARDEN_SMTP_TLS_PORT        TLS on connect
#                 PIPWARDEN_SMTP_WRONGNAME_PORT  TLS on connect, certificate for wrong.example
#                 PIPWARDEN_SMTP_UNTRUSTED_PORT  TLS on connect, certificate from no known authority
#                 PIPWARDEN_SMTP_CLIENTCERT_PORT TLS on connect, asks for an optional client
#                                                certificate
#                 PIPWARDEN_SMTP_PLAIN_PORT      no TLS, AUTH in the clear
#                 PIPWARDEN_SMTP_SLOW_PORT       as plain, greeting after SMTPD_DELAY s
#                 PIPWARDEN_SMTP_USER, PIPWARDEN_SMTP_PASSWORD  the one account that passes
#                 PIPWARDEN_SMTP_MAILDIR         received mail as N.eml + N.envelope
#                 PIPWARDEN_SMTP_CA              the test authority's PEM file
#                 (both paths as Wine sees them: Z:\...)
#   smtpd_stop    ends it (idempotent)
# The server also ends by itself when this shell is gone or after SMTPD_MAX_LIFETIME s.

SMTPD_MAX_LIFETIME=${SMTPD_MAX_LIFETIME:-3600}
SMTPD_DELAY=${SMTPD_DELAY:-20}
SMTPD_USER="trader@localhost"
SMTPD_PASSWORD="Green-Pips-42"
# Debian's interpreter, which has python3-aiosmtpd, whatever python3 comes first in PATH.
SMTPD_PYTHON=${SMTPD_PYTHON:-/usr/bin/python3}

_smtpd_pid=""
_smtpd_dir=""
_smtpd_script="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/tools/smtpd/smtpd.py"

_smtpd_log() { echo "smtpd.sh: $*" >&2; }

# A Unix path as Wine's drive Z: shows it.
_smtpd_wine_path() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

smtpd_start() {
    local i name port
    [ -n "$_smtpd_pid" ] && smtpd_stop
    _smtpd_dir=$(mktemp -d "${TMPDIR:-/tmp}/pipwarden-smtpd.XXXXXX") || return 1
    "$SMTPD_PYTHON" "$_smtpd_script" --folder "$_smtpd_dir" --port-file "$_smtpd_dir/ports" \
        --user "$SMTPD_USER" --password "$SMTPD_PASSWORD" --delay "$SMTPD_DELAY" \
        --parent-pid "$$" --max-lifetime "$SMTPD_MAX_LIFETIME" \
        </dev/null >"$_smtpd_dir/smtpd.log" 2>&1 &
    _smtpd_pid=$!
    # Making the keys takes a few seconds on a busy machine.
    for ((i = 0; i < 600; i++)); do
        if [ -s "$_smtpd_dir/ports" ]; then
            while IFS='=' read -r name port; do
                name=$(echo "$name" | tr '[:lower:]' '[:upper:]')
                export "PIPWARDEN_SMTP_${name}_PORT=$port"
            done <"$_smtpd_dir/ports"
            export PIPWARDEN_SMTP_USER=$SMTPD_USER PIPWARDEN_SMTP_PASSWORD=$SMTPD_PASSWORD
            PIPWARDEN_SMTP_MAILDIR=$(_smtpd_wine_path "$_smtpd_dir/mail")
            PIPWARDEN_SMTP_CA=$(_smtpd_wine_path "$_smtpd_dir/ca.pem")
            export PIPWARDEN_SMTP_MAILDIR PIPWARDEN_SMTP_CA
            return 0
        fi
        kill -0 "$_smtpd_pid" 2>/dev/null || break
        sleep 0.05
    done
    _smtpd_log "the mail server did not come up"
    cat "$_smtpd_dir/smtpd.log" >&2 2>/dev/null
    smtpd_stop
    return 1
}

smtpd_stop() {
    if [ -n "$_smtpd_pid" ]; then
        kill "$_smtpd_pid" 2>/dev/null || true
        wait "$_smtpd_pid" 2>/dev/null || true
        _smtpd_pid=""
    fi
    if [ -n "$_smtpd_dir" ]; then
        rm -rf "$_smtpd_dir"
        _smtpd_dir=""
    fi
    unset PIPWARDEN_SMTP_STARTTLS_PORT PIPWARDEN_SMTP_TLS_PORT PIPWARDEN_SMTP_WRONGNAME_PORT \
        PIPWARDEN_SMTP_UNTRUSTED_PORT PIPWARDEN_SMTP_CLIENTCERT_PORT \
        PIPWARDEN_SMTP_PLAIN_PORT PIPWARDEN_SMTP_SLOW_PORT PIPWARDEN_SMTP_USER \
        PIPWARDEN_SMTP_PASSWORD PIPWARDEN_SMTP_MAILDIR PIPWARDEN_SMTP_CA
    return 0
}
