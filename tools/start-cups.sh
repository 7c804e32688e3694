#!/usr/bin/env bash
# Starts a local CUPS scheduler with the cups-pdf printer "TVX_PDF" as default.
# Idempotent; used by the test set-up.
set -euo pipefail

if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  mkdir -p /run/cups
  cupsd
  for _ in $(seq 1 50); do
    lpstat -r 2>/dev/null | grep -q "is running" && break
    sleep 0.2
  done
fi
lpstat -r

# cups-pdf writes every job into one known folder, named after the job title
OUT=/var/spool/cups-pdf/TVX
mkdir -p "$OUT"
chmod 0777 "$OUT"
CONF=/etc/cups/cups-pdf.conf
if [[ -f "$CONF" ]]; then
  sed -i -e "s|^#\?Out .*|Out $OUT|" -e "s|^#\?AnonDirName .*|AnonDirName $OUT|" \
         -e "s|^#\?Label .*|Label 0|" -e "s|^#\?TitlePref .*|TitlePref 1|" "$CONF"
fi

PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
if ! lpstat -p TVX_PDF >/dev/null 2>&1; then
  lpadmin -p TVX_PDF -E -v cups-pdf:/ -P "$PPD"
fi
cupsenable TVX_PDF || true
cupsaccept TVX_PDF || true
lpadmin -d TVX_PDF
lpstat -p TVX_PDF
