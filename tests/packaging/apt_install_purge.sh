#!/usr/bin/env bash
# The Debian package installed and purged for real, with CUPS running, as an administrator does:
#   - `apt-get install ./folvek_*.deb`: a .prn report sent with lp reaches folvektopdf at once,
#     without a restart of CUPS; /etc/folvek holds the example settings file; *.prn files open
#     with Folvek while plain text keeps its default program;
#   - `apt-get purge folvek`: no file of the package is left, CUPS still runs, and the default
#     program for plain text is what it was before.
#
#   apt_install_purge.sh BUILD_DIR      (tools/test runs it as root)
#
# CUPS here is a scheduler of the script's own (its own configuration, socket, spool and log,
# the system's filters and MIME files), started before the install, so that its log tells
# which filter ran and other schedulers' queues are not touched. The package's scripts make
# every running cupsd reload when the init system cannot (a container's policy-rc.d); where the
# init system can reload CUPS, this check skips, since the private scheduler is not the
# system's service.
#
# Exit 77 (skipped, with the reason) when not root, when a tool is missing, when folvek is
# installed already or when installing would bring other packages. The machine is left as it
# was: the private scheduler is stopped, its files and the queue's configuration removed.
set -uo pipefail
build=$(cd "${1:?usage: apt_install_purge.sh BUILD_DIR}" && pwd)
sample=$(cd "$(dirname "$0")/../.." && pwd)/samples/warehouse-866.prn
queue=FolvekPackageCheck
export CUPS_SERVER
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
conf=/etc/cups/cups-pdf-$queue.conf
out=/var/spool/folvek-package-check  # where cups-pdf may write, as for the tests' queue

skip() { echo "apt-install-purge: skipped: $*" >&2; exit 77; }
say() { echo "apt-install-purge: $*" >&2; }
status=0
fault() { echo "apt-install-purge: FAULT: $*" >&2; status=1; }

[ "$(id -u)" -eq 0 ] || skip "not root (run tools/test as root for the real install)"
for tool in apt-get dpkg-deb dpkg-query cpack lp lpstat lpadmin /usr/sbin/cupsd xdg-mime pdftotext invoke-rc.d; do
  command -v "$tool" >/dev/null || skip "$tool is missing"
done
[ -f "$ppd" ] || skip "$ppd missing (printer-driver-cups-pdf)"
if dpkg-query -W -f='${Status}' folvek 2>/dev/null | grep -q 'installed'; then
  skip "folvek is installed on this machine already; it is left alone"
fi
[ ! -e /etc/folvek ] || skip "/etc/folvek exists already; it is left alone"

invoke-rc.d --query cups force-reload >/dev/null 2>&1
[ $? -ne 104 ] || skip "the init system reloads the system's CUPS here; the check needs a container"
work=$(mktemp -d /tmp/folvek-apt.XXXXXX)
chmod 755 "$work"  # the scheduler's filters run as lp and read the spool below it
started_cupsd=
installed=
cleanup() {
  [ -n "$installed" ] && apt-get purge -y -qq folvek >/dev/null 2>&1
  rm -f "$conf"
  rm -rf "$out"
  # Only the scheduler this script started is stopped, by its own process id.
  if [ -n "$started_cupsd" ]; then
    kill "$started_cupsd" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$started_cupsd" 2>/dev/null || break; sleep 0.1; done
  fi
  rm -rf "$work"
}
trap cleanup EXIT

reachable() { lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }
wait_reachable() { for _ in $(seq 100); do reachable && return 0; sleep 0.1; done; return 1; }

# The package, from the tree the tests built.
(cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null 2>&1) || skip "cpack could not make the package"
deb=$(ls "$work"/deb/folvek_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || skip "cpack made no folvek_*.deb"
others=$(apt-get install -s -y --no-install-recommends "$deb" 2>/dev/null | awk '/^Inst / && $2 != "folvek" {print $2}')
[ -z "$others" ] || skip "installing would also bring $(echo $others | tr '\n' ' ')"

# The desktop's defaults as a user without own choices sees them.
mime_default() {
  env -i PATH="$PATH" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
    XDG_DATA_HOME="$work/home/.local/share" xdg-mime query default "$1" 2>/dev/null
}
mkdir -p "$work/home"
plain_before=$(mime_default text/plain)
prn_type_before=$([ -e /usr/share/mime/text/x-prn.xml ] && echo yes)

# CUPS running before the package comes: the filter must reach it without a restart.
mkdir -p "$work/cups/etc/ppd" "$work/cups/spool" "$work/cups/cache" "$work/cups/state" "$work/cups/log"
cat >"$work/cups/cups-files.conf" <<CONF
SystemGroup root lpadmin
ServerRoot $work/cups/etc
RequestRoot $work/cups/spool
CacheDir $work/cups/cache
StateDir $work/cups/state
ErrorLog $work/cups/log/error_log
AccessLog $work/cups/log/access_log
PageLog $work/cups/log/page_log
CONF
cat >"$work/cups/cupsd.conf" <<CONF
Listen $work/cups/cups.sock
LogLevel info
Browsing No
WebInterface No
<Location />
  Order allow,deny
  Allow localhost
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
CUPS_SERVER=$work/cups/cups.sock
/usr/sbin/cupsd -f -c "$work/cups/cupsd.conf" -s "$work/cups/cups-files.conf" >"$work/cups/log/stdout" 2>&1 &
started_cupsd=$!
wait_reachable || skip "a scheduler of our own did not start"
cupsd_before=$started_cupsd
[ ! -e "$out" ] || skip "$out exists already"
mkdir -p "$out"
chmod 1777 "$out"
printf 'Out %s\nAnonDirName %s\nLabel 0\nUserUMask 0022\nAnonUMask 0022\n' "$out" "$out" >"$conf"
lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P "$ppd" -o PDFVer=1.4 >/dev/null 2>&1 ||
  skip "lpadmin could not make the test queue"

# Installed: CUPS knows the report type and runs the filter on the report.
say "apt-get install $(basename "$deb")"
if ! apt-get install -y -qq --no-install-recommends "$deb" >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  fault "apt-get install failed"
  exit 1
fi
installed=1
[ -f /etc/folvek/FOLVK95.INI ] || fault "/etc/folvek/FOLVK95.INI was not installed"
sleep 2  # the reload is asynchronous
wait_reachable || fault "CUPS does not answer after the install"
kill -0 "$cupsd_before" 2>/dev/null || fault "the install stopped cupsd instead of reloading it"
cp "$sample" "$work/report.prn"
chmod 644 "$work/report.prn"
lp -d "$queue" -t folvek-package-check "$work/report.prn" >/dev/null || fault "lp refused the report"
pdf=
for _ in $(seq 120); do
  pdf=$(ls "$out"/*.pdf 2>/dev/null | head -n1)
  [ -n "$pdf" ] && sleep 1 && break
  sleep 0.5
done
if [ -z "$pdf" ]; then
  fault "no PDF came out of the queue within a minute"
else
  text=$(pdftotext "$pdf" - 2>/dev/null)
  # Laid out by folvektopdf: code page 866 read as such, frames drawn as lines, not characters.
  grep -q 'ВЕДОМОСТЬ ОСТАТКОВ' <<<"$text" || fault "the report's heading is not in the printed PDF"
  if grep -q '[─│┌┐└┘├┤┬┴┼═║╔╗╚╝╠╣╦╩╬]' <<<"$text"; then
    fault "the printed PDF shows frame characters: CUPS did not use folvektopdf"
  fi
fi
if grep -q 'Started filter /usr/lib/cups/filter/folvektopdf ' "$work/cups/log/error_log"; then
  say "CUPS ran the package's folvektopdf on the report, without a restart"
else
  fault "CUPS did not run /usr/lib/cups/filter/folvektopdf: $(grep 'Started filter' "$work/cups/log/error_log" | tr '\n' ' ')"
fi
[ "$(mime_default text/x-prn)" = io.github.folvek.Folvek.desktop ] ||
  fault "*.prn files do not open with Folvek (xdg-mime: $(mime_default text/x-prn))"
[ "$(mime_default text/plain)" = "$plain_before" ] ||
  fault "the install changed the default for plain text to $(mime_default text/plain)"

# Purged: nothing of the package is left, CUPS still runs, the defaults are as they were.
say "apt-get purge folvek"
files=$(dpkg-query -L folvek 2>/dev/null)
apt-get purge -y -qq folvek >"$work/purge.log" 2>&1 || { cat "$work/purge.log" >&2; fault "apt-get purge failed"; }
installed=
dpkg-query -W -f='${Status}' folvek 2>/dev/null | grep -q 'installed' && fault "folvek is still installed"
while IFS= read -r f; do
  [ -n "$f" ] && [ ! -d "$f" ] && [ -e "$f" ] && fault "left after purge: $f"
done <<<"$files"
[ ! -e /etc/folvek ] || fault "/etc/folvek is left after purge"
sleep 2
wait_reachable || fault "CUPS does not answer after the purge"
kill -0 "$cupsd_before" 2>/dev/null || fault "the purge stopped cupsd instead of reloading it"
grep -q 'Loaded MIME database' "$work/cups/log/error_log" &&
  [ "$(grep -c 'Loaded MIME database' "$work/cups/log/error_log")" -ge 3 ] ||
  fault "CUPS did not reload its MIME files on install and purge"
[ "$(mime_default text/plain)" = "$plain_before" ] ||
  fault "after the purge plain text opens with $(mime_default text/plain), before with $plain_before"
if grep -rqs folvek /usr/share/applications/mimeinfo.cache /usr/share/mime/packages; then
  fault "the desktop's caches still name folvek"
fi
[ -n "$prn_type_before" ] || [ ! -e /usr/share/mime/text/x-prn.xml ] ||
  fault "the MIME database still knows text/x-prn"
[ $status -eq 0 ] && say "installed, printed through the filter, purged: nothing left"
exit $status
