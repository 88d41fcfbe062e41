#!/usr/bin/env bash
# Makes a Windows Installer package from a filled-in OrvAcctMan-<x86|x64>.wxs and the Windows zip's
# staged files: wixl writes it, then msibuild adds what wixl has no element for.
# usage: build_msi.sh WXS STAGE OUT.msi
set -euo pipefail
wxs=$(realpath "$1") stage=$2 out=$(realpath -m "$3")
arch=${wxs##*-}
arch=${arch%.wxs}
# wixl finds files by paths relative to where it runs.
(cd "$stage" && wixl --arch "$arch" --define Stage=. --output "$out" "$wxs")
# - The command line tool's folder goes on the machine's PATH with the tool's component, and comes
#   off with it. Put first: an entry added last leaves its separator behind when Wine removes it.
# - The component itself cannot be left out (its absence would be an empty install); neither
#   feature is advertised.
# - The help link's action is a plain property assignment (wixl marks it "no impersonation").
msibuild "$out" \
  -q 'CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL LOCALIZABLE, `Value` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)' \
  -q "INSERT INTO \`Environment\` (\`Environment\`, \`Name\`, \`Value\`, \`Component_\`) VALUES ('ToolOnPath', '=-*PATH', '[INSTALLDIR];[~]', 'Tool')" \
  -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('RemoveEnvironmentStrings', 3300)" \
  -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('WriteEnvironmentStrings', 5200)" \
  -q "UPDATE \`Feature\` SET \`Attributes\` = 24 WHERE \`Feature\` = 'OrvAcctMan'" \
  -q "UPDATE \`Feature\` SET \`Attributes\` = 8 WHERE \`Feature\` = 'CommandLineTool'" \
  -q "UPDATE \`CustomAction\` SET \`Type\` = 51 WHERE \`Action\` = 'SetHelpLink'"
