#!/usr/bin/env bash
# Starts a local CUPS scheduler with the cups-pdf printer "TVX_PDF" as default.
# Idempotent; used by the test set-up.
set -euo pipefail
# the checks below read the tools' English answers
export LC_ALL=C

if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  mkdir -p /run/cups
  cupsd
  for _ in $(seq 1 50); do
    lpstat -r 2>/dev/null | grep -q "is running" && break
    sleep 0.2
  done
fi
lpstat -r

# cups-pdf writes every job into one known folder as job_<id>-<job title>.pdf,
# so a test finds the output of its own job by the id CUPS returned.
OUT=/var/spool/cups-pdf/TVX
mkdir -p "$OUT"
chmod 0777 "$OUT"
CONF=/etc/cups/cups-pdf.conf
if [[ -f "$CONF" ]]; then
  sed -i -e "s|^#\?Out .*|Out $OUT|" -e "s|^#\?AnonDirName .*|AnonDirName $OUT|" \
         -e "s|^#\?Label .*|Label 1|" -e "s|^#\?TitlePref .*|TitlePref 1|" "$CONF"
fi

PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
if ! lpstat -p TVX_PDF >/dev/null 2>&1; then
  lpadmin -p TVX_PDF -E -v cups-pdf:/ -P "$PPD"
fi
# the PPD's own defaults (Label 2, TitlePref 0) would override cups-pdf.conf
lpadmin -p TVX_PDF -o Label-default=1 -o TitlePref-default=1
cupsenable TVX_PDF || true
cupsaccept TVX_PDF || true
lpadmin -d TVX_PDF
lpstat -p TVX_PDF
