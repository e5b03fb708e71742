# Sourced by the benches. install_absent PACKAGE...: installs those of the Debian packages
# that are not installed yet (the bench's own set-up, not the program's).
install_absent() {
  local absent as_root=sudo
  absent=($(dpkg-query -W -f='${Package} ${Status}\n' "$@" 2>&1 |
    awk '!/install ok installed/ { sub(/^dpkg-query: no packages found matching /, ""); print $1 }'))
  [ ${#absent[@]} -gt 0 ] || return 0
  [ "$(id -u)" -ne 0 ] || as_root=""
  $as_root apt-get update
  DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y --no-install-recommends "${absent[@]}"
}
