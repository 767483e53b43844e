#!/usr/bin/env bash
# qimtool against netpbm: files made by netpbm decode to what netpbm's own
# readers give, stored levels go to OUT.k.pam, info names the reader, and
# refused files print the loader's error with exit status 1.
# Usage: qimtool_test.sh QIMTOOL WORKDIR
set -euo pipefail
qimtool=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
cd "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A 16 x 3 plain PPM of `colours` colours.
source_ppm() {
    local colours=$1 x y i
    echo "P3 16 3 255"
    for y in 0 1 2; do
        for x in $(seq 0 15); do
            i=$(( (x * 7 + y * 3) % colours ))
            echo "$(( i * 37 % 256 )) $(( i * 91 % 256 )) $(( i * 53 % 256 ))"
        done
    done
}
source_ppm 2 > two.ppm
source_ppm 16 > sixteen.ppm
source_ppm 40 > forty.ppm

# name, maker command, netpbm reader
cases=(
    "p6.ppm|ppmmake rgb:12/80/ff 5 3|pnmtopnm"
    "p5.pgm|pgmramp -lr 9 2|pnmtopnm"
    "p4.pbm|pbmmake -g 13 3|pnmtopnm"
    "b1.bmp|ppmtobmp -bpp 1 two.ppm|bmptoppm"
    "b4.bmp|ppmtobmp -bpp 4 sixteen.ppm|bmptoppm"
    "b8.bmp|ppmtobmp -bpp 8 forty.ppm|bmptoppm"
    "b24.bmp|ppmtobmp -bpp 24 forty.ppm|bmptoppm"
    "o1.bmp|ppmtobmp -os2 -bpp 1 two.ppm|bmptoppm"
    "o4.bmp|ppmtobmp -os2 -bpp 4 sixteen.ppm|bmptoppm"
    "o8.bmp|ppmtobmp -os2 -bpp 8 forty.ppm|bmptoppm"
    "o24.bmp|ppmtobmp -os2 -bpp 24 forty.ppm|bmptoppm"
    "i.ilbm|ppmtoilbm -maxplanes 8 forty.ppm|ilbmtoppm"
)
for entry in "${cases[@]}"; do
    IFS='|' read -r name maker reader <<< "$entry"
    $maker > "$name" 2> /dev/null
    $reader "$name" 2> /dev/null | ppmtoppm | pnmtopnm -plain > "$name.expected"
    if ! "$qimtool" decode "$name" "$name.pam"; then fail "$name does not decode"; continue; fi
    pamtopnm "$name.pam" | ppmtoppm | pnmtopnm -plain > "$name.got"
    cmp -s "$name.expected" "$name.got" || fail "$name decodes unlike netpbm"
done

# Stored levels: a LIST holding the top image, a FORM MIPM and a LIST ILBM of a smaller one.
be32() { printf "\\$(printf %03o $(( $1 >> 24 & 255 )))\\$(printf %03o $(( $1 >> 16 & 255 )))\\$(printf %03o $(( $1 >> 8 & 255 )))\\$(printf %03o $(( $1 & 255 )))"; }
ppmmake rgb:ff/00/00 32 16 | ppmtoilbm > top.ilbm 2> /dev/null
ppmmake rgb:00/00/ff 16 8 | ppmtoilbm > level.ilbm 2> /dev/null
{ printf 'ILBM'; cat level.ilbm; } > level.list
{
    printf 'ILBM'; cat top.ilbm
    printf 'FORM'; be32 14; printf 'MIPM'; printf 'CONT'; be32 2; printf '\0\0'
    printf 'LIST'; be32 "$(wc -c < level.list)"; cat level.list
} > body.bin
{ printf 'LIST'; be32 "$(wc -c < body.bin)"; cat body.bin; } > mip.qim
if "$qimtool" decode mip.qim mip.pam; then
    [ -f mip.1.pam ] || fail "no mip level file"
    pamfile mip.1.pam | grep -q 'PAM, 16 by 8 by 4 maxval 255' || fail "mip level: $(pamfile mip.1.pam)"
    pamtopnm mip.1.pam | pnmtopnm -plain | grep -q '^0 0 255' || fail "mip level pixels"
else
    fail "mip.qim does not decode"
fi
"$qimtool" info mip.qim | grep -q '^mip levels: 1 ' || fail "info does not count the stored level"

# A DXT1 texture of 8 x 8 with stored levels of 4 x 4, 2 x 2 and 1 x 1, every
# block red (colour 0) and blue (colour 1) with all pixels on colour 1: levels
# narrower than a block still take their whole block, so every level is blue.
be16() { printf "\\$(printf %03o $(( $1 >> 8 & 255 )))\\$(printf %03o $(( $1 & 255 )))"; }
chunk() { # ID BODY-FILE: the chunk with its size and pad byte
    printf '%s' "$1"; be32 "$(wc -c < "$2")"; cat "$2"
    if [ $(( $(wc -c < "$2") % 2 )) -ne 0 ]; then printf '\0'; fi
}
dxt_form() { # WIDTH HEIGHT BLOCKS: a FORM ILBM of a header and the S3TC blocks
    { be16 "$1"; be16 "$2"; head -c 16 /dev/zero; } > bmhd.bin
    { be32 0; printf 'DXT1'; be16 0; be16 0; be16 0; be16 "$1"; be16 "$2"; be32 $(( $3 * 8 ))
      for _ in $(seq "$3"); do printf '\0\370\037\0\125\125\125\125'; done; } > s3tc.bin
    { printf 'ILBM'; chunk BMHD bmhd.bin; chunk S3TC s3tc.bin; } > form.bin
    chunk FORM form.bin
}
dxt_level() { dxt_form "$@" > level.bin; { printf 'ILBM'; cat level.bin; } > list.bin; chunk LIST list.bin; }
{
    printf 'ILBM'; dxt_form 8 8 4
    printf 'FORM'; be32 14; printf 'MIPM'; printf 'CONT'; be32 2; printf '\0\0'
    dxt_level 4 4 1; dxt_level 2 2 1; dxt_level 1 1 1
} > dxt.bin
chunk LIST dxt.bin > dxt.qim
if "$qimtool" decode dxt.qim dxt.pam; then
    for level in dxt.pam dxt.1.pam dxt.2.pam dxt.3.pam; do
        if [ ! -f "$level" ]; then fail "no $level"; continue; fi
        pamtopnm "$level" | pnmtopnm -plain | tail -n +4 | tr -s ' \n' '\n' | paste - - - | sort -u > colours.txt
        [ "$(cat colours.txt)" = "$(printf '0\t0\t255')" ] || fail "$level is not all colour 1: $(tr '\n' ' ' < colours.txt)"
    done
else
    fail "dxt.qim does not decode"
fi
"$qimtool" info b8.bmp | grep -q '^reader: BMP$' || fail "info does not name the reader"

# Refused files.
printf 'BA whatever' > ba.bmp
if "$qimtool" decode ba.bmp ba.pam 2> ba.err; then fail "BA decodes"; fi
grep -q 'error 7' ba.err || fail "BA: $(cat ba.err)"
head -c 40 b24.bmp > cut.bmp
if "$qimtool" info cut.bmp 2> cut.err; then fail "a cut file passes"; fi
grep -q 'error 6' cut.err || fail "cut: $(cat cut.err)"
if "$qimtool" bogus 2> /dev/null; then fail "a bad command passes"; fi

if [ "$failures" -ne 0 ]; then echo "$failures failed"; exit 1; fi
echo "qimtool: all checks passed"
