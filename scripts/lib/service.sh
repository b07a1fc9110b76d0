# shellcheck shell=bash
# The local stand-in for the vendor's web service, for the end-to-end tests and the demo.
# Source this file, then:
#   service_start BUILD_NATIVE_DIR   starts pipwarden_service on a free loopback port and
#                                    exports PIPWARDEN_SERVICE=127.0.0.1:PORT
#   service_stop                     ends it (idempotent)
# The service also ends by itself when this shell is gone or after SERVICE_MAX_LIFETIME s.

SERVICE_MAX_LIFETIME=${SERVICE_MAX_LIFETIME:-3600}

_service_pid=""
_service_dir=""

_service_log() { echo "service.sh: $*" >&2; }

service_start() {
    local build_dir=${1:?service_start BUILD_NATIVE_DIR} exe i port
    exe="$build_dir/pipwarden_service"
    [ -x "$exe" ] || { _service_log "missing $exe"; return 1; }
    [ -n "$_service_pid" ] && service_stop
    _service_dir=$(mktemp -d "${TMPDIR:-/tmp}/pipwarden-service.XXXXXX") || return 1
    "$exe" --port 0 --port-file "$_service_dir/port" --record "$_service_dir/requests.log" \
        --parent-pid "$$" --max-lifetime "$SERVICE_MAX_LIFETIME" \
        </dev/null >"$_service_dir/service.log" 2>&1 &
    _service_pid=$!
    for ((i = 0; i < 200; i++)); do
        if [ -s "$_service_dir/port" ]; then
            port=$(tr -d ' \n' <"$_service_dir/port")
            export PIPWARDEN_SERVICE="127.0.0.1:$port"
            export PIPWARDEN_SERVICE_RECORD="$_service_dir/requests.log"
            return 0
        fi
        kill -0 "$_service_pid" 2>/dev/null || break
        sleep 0.05
    done
    _service_log "the service did not come up"
    cat "$_service_dir/service.log" >&2 2>/dev/null
    service_stop
    return 1
}

service_stop() {
    if [ -n "$_service_pid" ]; then
        kill "$_service_pid" 2>/dev/null || true
        wait "$_service_pid" 2>/dev/null || true
        _service_pid=""
    fi
    if [ -n "$_service_dir" ]; then
        rm -rf "$_service_dir"
        _service_dir=""
    fi
    unset PIPWARDEN_SERVICE PIPWARDEN_SERVICE_RECORD
    return 0
}
