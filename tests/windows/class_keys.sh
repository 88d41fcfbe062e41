#!/usr/bin/env bash
# The keys and values of the component's registration in a Wine prefix, read from the registry
# files: "machine" lists HKLM\Software\Classes (system.reg), "user" HKCU\Software\Classes
# (user.reg). One line per key and per value, paths below Classes in lower case, sorted, so that
# two listings compare with diff. Nothing when the component is not registered in that scope.
# "merged" lists a 32-bit registration's keys (Wow6432Node) with the 64-bit ones: Wine keeps no
# separate 32-bit view of HKCU\Software\Classes, so per-user keys compare with per-machine ones
# only that way.
# usage: class_keys.sh PREFIX machine|user [merged]
set -euo pipefail
prefix=$(realpath "$1") scope=$2 views=${3:-apart}
case $scope in
  machine) file=$prefix/system.reg ;;
  user) file=$prefix/user.reg ;;
  *) echo "usage: class_keys.sh PREFIX machine|user" >&2; exit 2 ;;
esac
# The server writes the registry files when it ends.
WINEPREFIX=$prefix wineserver -w
# The class, the ProgID, the type library and the interface's seven identifiers.
ours='85391336-700c-4414-9d10-8db84c045eaa|orvacctman\.clsorvacctman|2b7521cf-ad3f-4fed-9777-1fbbd4994e23'
ours+='|1afec0cf-d954-4f97-9e52-3b76377adfab|83168bb1-11e2-4fd9-af8b-3147ca2d42e2|b7c07c26-adbf-4e5e-84e4-dd55f1a71361'
ours+='|3da81b64-4f54-47d3-9861-19bb365498ed|a80962fa-5a56-4a9d-9091-8ec893e4e78d|f4cfc0a3-528f-4533-8c4c-12acb305b966'
ours+='|3d795ef2-bbf3-40fe-8990-be402a115ad7'
awk -v ours="$ours" '
  /^\[/ {
    path = tolower(substr($0, 2, index($0, "]") - 2))
    gsub(/\\\\/, "\\", path)
    keep = index(path, "software\\classes\\") == 1 && path ~ ours
    if (keep) { path = substr(path, 18); print path }
    next
  }
  keep && /^(@|")/ { value = $0; gsub(/\\\\/, "\\", value); print path " | " value }
' "$file" | if [ "$views" = merged ]; then sed 's/^wow6432node\\//' | sort -u; else sort; fi
