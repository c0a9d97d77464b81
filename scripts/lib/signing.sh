# Authenticode signatures (SHA-256, osslsigncode) on the programs and DLLs of
# the installer's folder, and a throw-away test CA for builds that have no
# real certificate. Sourced by scripts/build-package and tests/check-signing,
# so that the test signs exactly as a release does.

VKP_SIGN_DESCRIPTION="NORVEKA VKP-M200 Windows Driver"

# Runs a command, showing its output only when it fails (builds, openssl and
# osslsigncode chatter on success).
vkp_quiet() {
  local out
  if ! out="$("$@" 2>&1)"; then
    printf '%s\n' "$out" >&2
    return 1
  fi
}

# vkp_make_test_ca DIR: a fresh CA (DIR/ca.pem, DIR/ca.key) and a code-signing
# certificate it issued (DIR/signing.pem, DIR/signing.key). For tests and
# trial builds only: the keys are not protected, and nobody trusts the CA
# who does not choose to.
vkp_make_test_ca() {
  local dir="$1"
  rm -rf "$dir"
  mkdir -p "$dir"
  chmod 700 "$dir"
  vkp_quiet openssl req -x509 -newkey rsa:3072 -nodes -sha256 -days 3650 \
    -keyout "$dir/ca.key" -out "$dir/ca.pem" \
    -subj "/O=NORVEKA/CN=NORVEKA VKP-M200 test signing CA" \
    -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign,cRLSign" || return 1
  vkp_quiet openssl req -newkey rsa:3072 -nodes -keyout "$dir/signing.key" -out "$dir/signing.csr" \
    -subj "/O=NORVEKA/CN=NORVEKA VKP-M200 test code signing" || return 1
  printf '%s\n' "basicConstraints=critical,CA:FALSE" "keyUsage=critical,digitalSignature" \
    "extendedKeyUsage=codeSigning" "subjectKeyIdentifier=hash" "authorityKeyIdentifier=keyid" \
    >"$dir/signing.ext"
  vkp_quiet openssl x509 -req -in "$dir/signing.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" \
    -set_serial "0x$(openssl rand -hex 16)" -days 825 -sha256 -extfile "$dir/signing.ext" \
    -out "$dir/signing.pem" || return 1
  rm -f "$dir/signing.csr" "$dir/signing.ext"
}

# vkp_pe_files DIR: the programs and DLLs under DIR, sorted, one per line.
vkp_pe_files() {
  find "$1" -type f \( -iname '*.exe' -o -iname '*.dll' \) | LC_ALL=C sort
}

# vkp_sign_file FILE CERT KEY [TIMESTAMP_URL]: signs FILE in place, replacing
# any signature it has. No time stamp without a URL (RFC 3161): a signature
# without one stops verifying when the certificate expires.
vkp_sign_file() {
  local file="$1" cert="$2" key="$3" url="${4:-}"
  local args=(sign -h sha256 -n "$VKP_SIGN_DESCRIPTION" -certs "$cert" -key "$key"
              -in "$file" -out "$file.signed")
  [[ -z "$url" ]] || args+=(-ts "$url")
  rm -f "$file.signed"
  if ! vkp_quiet osslsigncode "${args[@]}"; then
    rm -f "$file.signed"
    echo "signing: could not sign $file" >&2
    return 1
  fi
  mv "$file.signed" "$file"
}

# vkp_sign_folder DIR CERT KEY [TIMESTAMP_URL]: signs every program and DLL
# under DIR.
vkp_sign_folder() {
  local dir="$1" file
  shift
  while IFS= read -r file; do
    vkp_sign_file "$file" "$@" || return 1
  done < <(vkp_pe_files "$dir")
}

# vkp_verify_file FILE CA_PEM: 0 when FILE's signature is intact and chains
# to CA_PEM.
vkp_verify_file() {
  osslsigncode verify -CAfile "$2" -in "$1" >/dev/null 2>&1
}
