# Sourced by the set-up scripts: install_missing NAME PACKAGE... installs the Debian packages
# that are not installed yet, refreshing the package lists first; NAME prefixes its messages.
install_missing() {
  local name=$1
  shift
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ "${#missing[@]}" -gt 0 ] || return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "$name: missing packages (${missing[*]}) and not root; install them first" >&2
    return 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get -o DPkg::Lock::Timeout=900 update -qq
  apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}"
}
