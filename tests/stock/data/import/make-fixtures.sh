#!/usr/bin/env bash
# Writes the import fixtures from cennik.csv, cennik_dbf.csv and chyby.csv with the programs that shops'
# files come from, so that the readers are tested on real files rather than on files
# written the way the readers expect. Run by hand when the CSV files change; needs
# LibreOffice (libreoffice-calc-nogui, libreoffice-writer-nogui) and gnumeric, which
# the tests themselves never need.
set -euo pipefail
cd "$(dirname "$0")"

# Slovak regional settings, so that the files show numbers and dates as a Slovak shop's do.
export LC_ALL=sk_SK.UTF-8 LANG=sk_SK.UTF-8

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
profile="-env:UserInstallation=file://$work/profile"

# Semicolon, double quotes, UTF-8, from the first line, Slovak number and date formats.
csv_filter='CSV:59,34,76,1,,1051'

office() {
    soffice "$profile" --headless --infilter="$csv_filter" --convert-to "$1" --outdir "$work" "$2" >/dev/null
}

for source in cennik chyby; do
    office xlsx "$source.csv"
    cp "$work/$source.xlsx" "$source.xlsx"
done
office 'xls:MS Excel 97' cennik.csv && cp "$work/cennik.xls" cennik.xls
office ods cennik.csv && cp "$work/cennik.ods" cennik.ods
# dBase needs typed fields, named in the title row ("JC,N,12,2"), so its source is its own
# copy of the price list: a number field cannot hold a price that is not a number, so that
# row has a VAT position beyond the list instead. Code page 1250 (encoding 33); the office
# program leaves the file's language byte empty.
office 'dbf:dBase:33' cennik_dbf.csv && cp "$work/cennik_dbf.dbf" cennik.dbf
office 'html:HTML (StarCalc)' cennik.csv && cp "$work/cennik.html" cennik.html
# A Word document holding the price list as its table: Writer takes the web page's table.
soffice "$profile" --headless --convert-to 'docx:MS Word 2007 XML' --outdir "$work" cennik.html >/dev/null
cp "$work/cennik.docx" cennik.docx

# The same workbook as gnumeric writes it (read from the OpenDocument file, since its own
# text import guesses the separator).
ssconvert cennik.ods cennik_gnumeric.xlsx >/dev/null 2>&1
ssconvert --export-type=Gnumeric_Excel:excel_biff8 cennik.ods cennik_gnumeric.xls >/dev/null 2>&1

# A workbook of two sheets with Slovak names, each from its own file (gnumeric names the
# sheets after the files), for choosing a sheet by its name; numbers written the C way.
mkdir "$work/sheets"
printf 'Čaj zelený,10,1.2\nKáva,20,3.5\n' >"$work/sheets/Nápoje"
printf 'Rožok,30,0.12\n' >"$work/sheets/Pečivo"
(cd "$work/sheets" && LC_ALL=C.UTF-8 ssconvert --import-type=Gnumeric_stf:stf_csvtab --merge-to=harky.xls \
    --export-type=Gnumeric_Excel:excel_biff8 Nápoje Pečivo >/dev/null 2>&1)
cp "$work/sheets/harky.xls" harky.xls

ls -l cennik.* cennik_gnumeric.* chyby.* harky.xls
