#!/usr/bin/env bash
# Signing: the release in DIST is unsigned; then a throwaway self-signed code-signing certificate
# made with openssl (its key encrypted, the password given as package.sh takes it) signs a
# release made with it (scripts/package.sh --dist, from the builds that made DIST), and
# osslsigncode verify -CAfile passes for both MSIs and for each DLL and orvacct.exe, in the zip
# and in the MSIs; neither the key nor its password is in that release, its staged files,
# build/package or package.sh's output.
# usage: check_signing.sh DIST WORK        (WORK: a fresh folder of its own)
set -euo pipefail
cd "$(dirname "$0")/../.."
dist=$(realpath "$1")
work=$(realpath "$2")
source tests/package/check_support.sh

# verify_all FOLDER WHAT: every MSI, DLL and program below FOLDER is signed by the certificate
# (WHAT: expect signed or unsigned).
verify_all() {
  local file count=0
  while IFS= read -r file; do
    count=$((count + 1))
    if osslsigncode verify -CAfile "$secrets/cert.pem" -in "$file" >"$work/verify.log" 2>&1; then
      [ "$2" = signed ] || fail "signed, though no certificate was given: $file"
      grep -q 'Signature verification: ok' "$work/verify.log" || fail "$file: $(cat "$work/verify.log")"
    else
      [ "$2" = unsigned ] || { sed 's/^/      /' "$work/verify.log"; fail "not signed by the certificate: $file"; }
    fi
  done < <(find "$1" -type f \( -iname '*.msi' -o -iname '*.dll' -o -iname '*.exe' \) | sort)
  echo "$count"
}

step "signing: unsigned without a certificate; a release signed with a throwaway one"
# Outside the repository, so that a key found under build/ can only have been copied there.
secrets=$(mktemp -d)
trap 'rm -rf "$secrets"' EXIT
password="check $$ password"
openssl req -x509 -newkey rsa:2048 -keyout "$secrets/key.pem" -out "$secrets/cert.pem" -days 2 \
  -subj "/CN=OrvAcctMan package check/O=Orv Software" -addext keyUsage=digitalSignature \
  -addext extendedKeyUsage=codeSigning -passout "pass:$password" >/dev/null 2>&1

unpack() {
  mkdir -p "$2"
  unzip -q "$1"/OrvAcctMan-*-windows.zip -d "$2/zip"
  for msi in "$1"/*.msi; do (mkdir -p "$2/${msi##*/}.files" && cd "$2/${msi##*/}.files" && msiextract "$msi" >/dev/null); done
  cp "$1"/*.msi "$2/"
}
unpack "$dist" "$work/unsigned"
unsigned=$(verify_all "$work/unsigned" unsigned)
[ "$unsigned" = 10 ] || fail "expected 2 MSIs and 8 programs in the release (zip and MSIs), found $unsigned"

signed_dist=$work/signed-dist
ORVACCT_SIGN_CERT=$secrets/cert.pem ORVACCT_SIGN_KEY=$secrets/key.pem ORVACCT_SIGN_PASS=$password \
  bash scripts/package.sh --reuse-test-builds --reuse-linux-build --dist "$signed_dist" >"$work/package.log" 2>&1 ||
  { cat "$work/package.log"; fail "package.sh with a certificate failed"; }
grep -q '^signed with .*: both DLLs, both orvacct.exe, both MSIs$' "$work/package.log" || fail "package.sh did not say it signed"
unpack "$signed_dist" "$work/signed"
signed=$(verify_all "$work/signed" signed)
# The key's random lines (not its first, which names the algorithms) and the password.
{ sed -n '4,6p' "$secrets/key.pem"; echo "$password"; } >"$secrets/patterns"
found=$(grep -rlaF -f "$secrets/patterns" "$signed_dist" build/package "$work/package.log" || true)
[ -z "$found" ] || fail "the key or its password was copied to: $found"
(cd "$signed_dist" && sha256sum --check --quiet SHA256SUMS) || fail "the signed release's SHA256SUMS does not match"
rm -rf "$signed_dist" build/package/windows-zip-signed-dist build/package/windows-zip-signed-dist-msi
ok "unsigned: none of the $unsigned MSIs and programs; signed: all $signed verify against the certificate; the key and password nowhere"
