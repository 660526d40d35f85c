#!/bin/sh
# Draws the launcher banner and the application icon with ImageMagick.
# Run from anywhere; writes resources/banner.jpg, icon-16.png and icon-32.png.
#
# The banner is a baseline JPEG without chroma subsampling: the launcher
# decodes it with libjpeg directly and small coloured icons bleed when the
# chroma is halved. Its bottom 11 rows lie under the launcher's dark strip,
# so everything that matters stays in rows 0..127.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out="$here/../resources"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if command -v magick >/dev/null 2>&1; then
    im=magick
else
    im=convert
fi

latin=DejaVu-Sans-Bold
cjk=WenQuanYi-Zen-Hei

# One glossy, glowing service icon: 34x34 with the glow, a 24 px disc inside.
# $1 file, $2 base colour, $3 light colour, $4 glyph, $5 glyph shadow
make_service_icon() {
    $im -size 34x34 xc:none \
        \( -size 34x34 xc:none -fill "$2" -draw "circle 17,17 17,3" -blur 0x3.5 \
           -channel A -evaluate multiply 0.9 +channel \) -composite \
        \( -size 24x24 -define gradient:center=9,7 -define gradient:radii=20,20 \
           radial-gradient:"$3"-"$2" \
           \( -size 24x24 xc:black -fill white -draw "circle 11.5,11.5 11.5,0.3" \) \
           -alpha off -compose copy_opacity -composite \) \
        -compose over -geometry +5+5 -composite \
        \( -size 34x34 xc:none -fill none -stroke 'rgba(255,255,255,0.85)' -strokewidth 1 \
           -draw "circle 16.5,16.5 16.5,5.3" \) -composite \
        \( -size 34x34 xc:none -stroke none -fill 'rgba(255,255,255,0.40)' \
           -draw "ellipse 16.5,9.5 7,3.2 0,360" \) -composite \
        \( -size 34x34 xc:none -stroke none -font "$cjk" -pointsize 14 -gravity center \
           -fill "$5" -annotate +1+2 "$4" \
           -fill white -annotate +0+1 "$4" \) -composite \
        "$1"
}

make_banner() {
    b="$work/banner"
    # Sky: light at the top left, deep blue at the bottom right.
    $im -size 357x139 -define gradient:angle=150 gradient:'#6ec6ff'-'#0b3f9c' "$b-sky.png"

    # Soft light from the upper right and a few out-of-focus bubbles.
    $im -size 357x139 xc:none \
        -fill 'rgba(255,255,255,0.35)' -draw "circle 300,10 300,80" -blur 0x30 \
        \( -size 357x139 xc:none \
           -fill 'rgba(255,255,255,0.10)' -draw "circle 250,40 250,66" \
           -fill 'rgba(255,255,255,0.08)' -draw "circle 318,78 318,96" \
           -fill 'rgba(255,255,255,0.12)' -draw "circle 210,18 210,28" \
           -fill 'rgba(255,255,255,0.07)' -draw "circle 340,30 340,42" \
           -blur 0x1.5 \) -composite \
        "$b-light.png"

    # A lighter wave behind the icon row.
    $im -size 357x139 xc:none \
        -fill 'rgba(255,255,255,0.10)' \
        -draw "path 'M 0,96 C 90,78 200,112 357,86 L 357,139 L 0,139 Z'" \
        -fill 'rgba(255,255,255,0.07)' \
        -draw "path 'M 0,108 C 120,92 230,124 357,100 L 357,139 L 0,139 Z'" \
        "$b-wave.png"

    # Name and tagline, white over a soft dark-blue shadow.
    $im -size 357x139 xc:none -font "$latin" -pointsize 42 -kerning 1 \
        -fill white -annotate +16+52 'Tarnelo' \
        -font "$cjk" -pointsize 15 -annotate +19+77 '一键点亮你的 QQ 图标' \
        "$b-text.png"
    $im "$b-text.png" -background '#06245e' -shadow 70x2.5+1+2 "$b-shadow.png"

    # Row of lit service icons.
    i=0
    for entry in \
        '#f7a400:#ffe680:#9a5a00:空' '#1f8ef0:#9fe0ff:#0a4a9a:邮' \
        '#23b14d:#a6f5a0:#0d6626:机' '#f26a1b:#ffc98f:#94380a:财' \
        '#9b4dff:#dcc0ff:#55209a:游' '#e8352e:#ffb0a0:#8a1410:会' \
        '#14b8b0:#a0fff0:#06706a:音' '#ff4f9a:#ffc0dc:#a01850:秀' \
        '#e0b000:#fff3a0:#8a6400:宠'; do
        base=${entry%%:*}; rest=${entry#*:}
        light=${rest%%:*}; rest=${rest#*:}
        dark=${rest%%:*}; glyph=${rest#*:}
        make_service_icon "$work/svc$i.png" "$base" "$light" "$glyph" "$dark"
        i=$((i + 1))
    done

    set -- "$b-sky.png" "$b-light.png" -composite "$b-wave.png" -composite \
        "$b-shadow.png" -geometry -3-3 -composite "$b-text.png" -geometry +0+0 -composite
    n=0
    while [ $n -lt $i ]; do
        set -- "$@" "$work/svc$n.png" -geometry +$((9 + n * 30))+$((88)) -composite
        n=$((n + 1))
    done
    # The program's own badge, large and glowing, on the right.
    $im "$work/icon-256.png" -resize 84x84 -background none -gravity center -extent 120x120 \
        \( +clone -channel A -blur 0x8 -evaluate multiply 1.6 +channel \
           -fill '#fff4b0' -colorize 100 \) +swap -compose over -composite \
        "$b-badge.png"
    set -- "$@" "$b-badge.png" -geometry +236+0 -composite
    $im "$@" -alpha off "$b-final.png"

    $im "$b-final.png" -strip -colorspace sRGB -type TrueColor \
        -sampling-factor 1x1,1x1,1x1 -interlace none -quality 92 \
        "JPEG:$out/banner.jpg"
}

# The application icon: a lit gold star on a glossy blue badge. Drawn once
# at 256 px; the banner and both icon sizes are reduced from it.
make_badge() {
    big="$work/icon-256.png"
    star='128,36 150,100 218,100 163,140 184,206 128,166 72,206 93,140 38,100 106,100'
    $im -size 256x256 xc:none \
        \( -size 240x240 -define gradient:center=90,70 -define gradient:radii=190,190 \
           radial-gradient:'#8fd8ff'-'#0a4fb8' \
           \( -size 240x240 xc:black -fill white -draw "circle 119.5,119.5 119.5,2" \) \
           -alpha off -compose copy_opacity -composite \) \
        -compose over -geometry +8+8 -composite \
        \( -size 256x256 xc:none -fill none -stroke '#083a8a' -strokewidth 10 \
           -draw "circle 127.5,127.5 127.5,10" \) -composite \
        \( -size 256x256 xc:none -stroke none -fill '#fff2a0' -draw "polygon $star" -blur 0x14 \) -composite \
        \( -size 256x256 xc:none -fill '#ffd21f' -stroke '#b86e00' -strokewidth 8 \
           -draw "polygon $star" \) -composite \
        \( -size 256x256 xc:none -stroke none -fill 'rgba(255,255,255,0.30)' \
           -draw "ellipse 128,70 80,40 0,360" \) -composite \
        "$big"
}

make_icon() {
    big="$work/icon-256.png"
    $im "$big" -filter Lanczos -resize 32x32 -unsharp 0x0.6 -strip "PNG32:$out/icon-32.png"
    $im "$big" -filter Lanczos -resize 16x16 -unsharp 0x0.8 -strip "PNG32:$out/icon-16.png"
}

make_badge
make_banner
make_icon
