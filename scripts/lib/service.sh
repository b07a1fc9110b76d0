# shellcheck shell=bash
# The local stand-in for the vendor's web service, for the end-to-end tests and the demo.
# Source this file, then:
#   service_start BUILD_NATIVE_DIR   starts pipwarden_service on a free loopback port and
#                                    exports PIPWARDEN_SERVICE=127.0.0.1:PORT; with openssl
#                                    also its phone stand-ins over TLS, exported as
#                                    PIPWARDEN_SERVICE_TLS=localhost:PORT and the
#                                    certificate to trust as PIPWARDEN_SERVICE_CA (Z:\...)
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
    local tls=()
    if _service_certificate "$_service_dir"; then
        tls=(--tls-cert "$_service_dir/tls.crt" --tls-key "$_service_dir/tls.key"
            --tls-port-file "$_service_dir/tls-port")
    fi
    "$exe" --port 0 --port-file "$_service_dir/port" --record "$_service_dir/requests.log" \
        --parent-pid "$$" --max-lifetime "$SERVICE_MAX_LIFETIME" "${tls[@]}" \
        </dev/null >"$_service_dir/service.log" 2>&1 &
    _service_pid=$!
    for ((i = 0; i < 200; i++)); do
        if [ -s "$_service_dir/port" ]; then
            port=$(tr -d ' \n' <"$_service_dir/port")
            export PIPWARDEN_SERVICE="127.0.0.1:$port"
            export PIPWARDEN_SERVICE_RECORD="$_service_dir/requests.log"
            if [ ${#tls[@]} -gt 0 ] && [ -s "$_service_dir/tls-port" ]; then
                export PIPWARDEN_SERVICE_TLS="localhost:$(tr -d ' \n' <"$_service_dir/tls-port")"
                export PIPWARDEN_SERVICE_CA="Z:${_service_dir//\//\\}\\tls.crt"
            fi
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

# A self-signed certificate for localhost, which the tests trust for as long as they run.
_service_certificate() {
    local dir=$1
    command -v openssl >/dev/null 2>&1 || return 1
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=localhost" \
        -addext "subjectAltName=DNS:localhost,IP:127.0.0.1" \
        -keyout "$dir/tls.key" -out "$dir/tls.crt" >/dev/null 2>&1
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
    unset PIPWARDEN_SERVICE PIPWARDEN_SERVICE_RECORD PIPWARDEN_SERVICE_TLS PIPWARDEN_SERVICE_CA
    return 0
}
