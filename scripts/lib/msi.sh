# The Windows Installer package build/dist/VKPM200.msi, made with Debian's
# msitools (wixl from a WiX source written here, msibuild for what wixl
# cannot express). Sourced by scripts/build-package.
#
# The package lays the installer's folder under Program Files (VKPM200) and runs the installer from there through our custom
# actions (msi/, VKPM200_MsiActions.dll in the Binary table); see the README
# ("Deploying with Windows Installer").

# Never changes: it is what ties every later version's package to this one
# for the major upgrade.
VKP_MSI_UPGRADE_CODE="{6C1D2B8E-4A57-4E0F-9B3C-7D82E5A1F064}"

# vkp_msi_uuid NAME: a name-based UUID (SHA-1, version 5 layout) under the
# upgrade code, so that the same inputs always give the same codes.
vkp_msi_uuid() {
  local h
  h="$(printf '%s\n%s' "$VKP_MSI_UPGRADE_CODE" "$1" | sha1sum | cut -c1-32)"
  h="${h:0:12}5${h:13:3}$(printf '%x' $(((0x${h:16:1} & 3) | 8)))${h:17:15}"
  h="${h^^}"
  echo "{${h:0:8}-${h:8:4}-${h:12:4}-${h:16:4}-${h:20:12}}"
}

# The Id of a WiX element for a path: letters, digits, underscores and dots.
vkp_msi_id() { local id="${2//[^A-Za-z0-9_.]/_}"; echo "$1_$id"; }

# vkp_msi_directory DIST_FOLDER RELATIVE_FOLDER INDENT: one component per
# folder, holding its files, then its subfolders.
vkp_msi_directory() {
  local root="$1" rel="$2" pad="$3" path files=() dirs=() f
  path="$root${rel:+/$rel}"
  while IFS= read -r f; do files+=("$f"); done < <(find "$path" -mindepth 1 -maxdepth 1 -type f -printf '%f\n' | LC_ALL=C sort)
  while IFS= read -r f; do dirs+=("$f"); done < <(find "$path" -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | LC_ALL=C sort)
  if ((${#files[@]})); then
    echo "$pad<Component Id=\"$(vkp_msi_id C "${rel:-root}")\" Guid=\"$(vkp_msi_uuid "component:${rel:-.}")\">"
    for f in "${files[@]}"; do
      echo "$pad  <File Id=\"$(vkp_msi_id F "${rel:+$rel/}$f")\" Name=\"$f\" Source=\"$path/$f\"/>"
    done
    echo "$pad</Component>"
  fi
  for f in "${dirs[@]}"; do
    echo "$pad<Directory Id=\"$(vkp_msi_id D "${rel:+$rel/}$f")\" Name=\"$f\">"
    vkp_msi_directory "$root" "${rel:+$rel/}$f" "$pad  "
    echo "$pad</Directory>"
  done
}

# vkp_make_msi DIST_FOLDER ACTIONS_DLL ICON WORK_FOLDER OUTPUT: the package
# of the folder, byte for byte the same for the same inputs
# (SOURCE_DATE_EPOCH is its time). Paths relative to the current folder, as
# wixl takes no other.
vkp_make_msi() {
  local dist="$1" dll="$2" icon="$3" work="$4" out="$5" version product package components
  version="$(awk '/#define VKP_VERSION_(MAJOR|MINOR|BUILD|EXTRA) / {v = v (v == "" ? "" : ".") $3} END {print v}' \
    "$ROOT/resources/Version.h")"
  product="$(vkp_msi_uuid "product:$version")"
  # A package code for these exact contents.
  package="$(vkp_msi_uuid "package:$version:$( { sha256sum <"$dll"; cd "$dist" && find . -type f -print0 |
    LC_ALL=C sort -z | xargs -0 sha256sum; } | sha256sum | cut -c1-64)")"
  rm -rf "$work"
  mkdir -p "$work"
  components="$(vkp_msi_directory "$dist" "" "        ")"
  cat >"$work/VKPM200.wxs" <<WXS
<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="$product" UpgradeCode="$VKP_MSI_UPGRADE_CODE" Name="NORVEKA VKP-M200 Windows Driver"
           Version="$version" Manufacturer="NORVEKA" Language="1033">
    <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"
             Description="NORVEKA VKP-M200 Windows Driver $version" Manufacturer="NORVEKA"/>
    <Media Id="1" Cabinet="VKPM200.cab" EmbedCab="yes"/>
    <MajorUpgrade DowngradeErrorMessage="A later version of the NORVEKA VKP-M200 Windows Driver is already installed."/>
    <Property Id="ARPNOMODIFY" Value="1"/>
    <Property Id="ARPNOREPAIR" Value="1"/>
    <Property Id="ARPPRODUCTICON" Value="VKPM200.ico"/>
    <Icon Id="VKPM200.ico" SourceFile="$icon"/>
    <Binary Id="MsiActions" SourceFile="$dll"/>
    <CustomAction Id="PrepareActions" BinaryKey="MsiActions" DllEntry="PrepareActions" Execute="immediate" Impersonate="yes" Return="check"/>
    <CustomAction Id="RunUninstaller" BinaryKey="MsiActions" DllEntry="RunUninstaller" Execute="deferred" Impersonate="no" Return="check"/>
    <CustomAction Id="RunInstaller" BinaryKey="MsiActions" DllEntry="RunInstaller" Execute="deferred" Impersonate="no" Return="check"/>
    <CustomAction Id="RequestRestart" BinaryKey="MsiActions" DllEntry="RequestRestart" Execute="immediate" Impersonate="yes" Return="check"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFilesFolder">
        <Directory Id="INSTALLDIR" Name="VKPM200">
$components
        </Directory>
      </Directory>
    </Directory>
    <Feature Id="Driver" Level="1" Title="NORVEKA VKP-M200 Windows Driver">
$(grep -o 'Component Id="[^"]*"' <<<"$components" | sed 's/Component Id=/      <ComponentRef Id=/; s/$/\/>/')
    </Feature>
    <InstallExecuteSequence>
      <Custom Action="PrepareActions" Sequence="1001"/>
      <Custom Action="RunUninstaller" Sequence="1700">REMOVE="ALL" AND NOT UPGRADINGPRODUCTCODE</Custom>
      <Custom Action="RunInstaller" Sequence="4100">NOT Installed</Custom>
      <Custom Action="RequestRestart" Sequence="6610"/>
    </InstallExecuteSequence>
  </Product>
</Wix>
WXS
  local when
  when="$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')"
  # wixl stamps the summary with the clock and a random package code: both
  # fixed here. The old version goes before the new one's files arrive (wixl
  # always schedules it last). The public properties pass from the client to
  # the elevated server side only when they are secure (wixl writes the list
  # with its own upgrade properties alone).
  TZ=UTC faketime "$when" wixl -a x86 -o "$work/VKPM200.msi" "$work/VKPM200.wxs" 2> >(grep -v 'GLib-GObject-WARNING\|^$' >&2) || return 1
  local step
  for step in "-s|NORVEKA VKP-M200 Windows Driver|NORVEKA|Intel;1033|$package" \
    "-q|UPDATE InstallExecuteSequence SET Sequence = 1501 WHERE Action = 'RemoveExistingProducts'" \
    "-q|UPDATE Property SET Value = 'IP;PORT;TCPPORT;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' WHERE Property = 'SecureCustomProperties'"; do
    IFS='|' read -r -a args <<<"$step"
    TZ=UTC faketime "$when" msibuild "$work/VKPM200.msi" "${args[@]}" || return 1
  done
  mv "$work/VKPM200.msi" "$out"
}
