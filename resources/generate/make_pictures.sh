#!/bin/bash
# Draws the welcome page's nine pictures with ImageMagick, at the sizes the page and its style
# sheet are laid out for. Text uses the Liberation fonts by file, so no font configuration of
# the machine matters.
#   make_pictures.sh CONVERT FONT_DIR OUTPUT_DIR
set -eu
convert=$1
fonts=$2
out=$3
mkdir -p "$out"
sans="$fonts/LiberationSans-Regular.ttf"
bold="$fonts/LiberationSans-Bold.ttf"
jpeg=(-strip -interlace none -sampling-factor 2x2 -quality 90)
accent='#0093b3'
link='#007c9c'
ink='#1f2d3d'
frame='#5b7fa6'

# The helpers print ImageMagick arguments one a line, for mapfile.
# A window frame: caption bar, title and a light client area.
window() { # x0 y0 x1 y1 title
    printf '%s\n' -fill '#f4f6f9' -stroke "$frame" -strokewidth 1 -draw "rectangle $1,$2 $3,$4" \
        -fill "$frame" -stroke none -draw "rectangle $1,$2 $3,$(($2 + 22))" \
        -font "$bold" -pointsize 12 -fill white -annotate "+$(($1 + 8))+$(($2 + 16))" "$5"
}

# A push button with its caption roughly centred.
button() { # x0 y0 width caption
    local x1=$(($1 + $3)) y1=$(($2 + 24))
    printf '%s\n' -fill '#e9edf2' -stroke '#8a99ab' -strokewidth 1 \
        -draw "roundrectangle $1,$2 $x1,$y1 3,3" -stroke none -fill "$ink" -font "$sans" -pointsize 12 \
        -annotate "+$(($1 + ($3 - ${#4} * 6) / 2))+$(($2 + 17))" "$4"
}

# Banner: the maker's mark and the page title on a band of the page's accent colour.
"$convert" -size 736x53 gradient:"$accent"-'#34c3e0' -rotate -90 -resize '736x53!' \
    -fill white -draw "circle 30,26 30,8" \
    -font "$bold" -pointsize 26 -fill "$accent" -annotate +21+36 'V' \
    -font "$bold" -pointsize 20 -fill white \
    -annotate +62+34 'Vostrel Outlook Enclosa has been installed successfully' \
    "${jpeg[@]}" "$out/title-enc.jpg"

# The reminder over a message being composed.
mapfile -t compose < <(window 0 0 600 420 'Offer for the spring season - Message (HTML)')
mapfile -t reminder < <(window 120 170 520 330 'Vostrel Outlook Enclosa')
mapfile -t attach < <(button 250 290 110 'Attach file...')
mapfile -t anyway < <(button 372 290 110 'Send anyway')
"$convert" -size 601x421 xc:white "${compose[@]}" \
    -fill '#e3e8ef' -stroke none -draw 'rectangle 1,23 599,70' \
    -fill "$accent" -draw 'roundrectangle 10,30 60,64 3,3' \
    -font "$bold" -pointsize 12 -fill white -annotate +18+52 'Send' \
    -font "$sans" -pointsize 12 -fill "$ink" \
    -annotate +75+44 'To...        john.smith@example.com' \
    -annotate +75+64 'Subject:    Offer for the spring season' \
    -annotate +20+100 'Hello John,' \
    -annotate +20+124 'please find attached our offer for the spring season.' \
    -annotate +20+148 'Best regards,' \
    -fill '#000000' -draw 'fill-opacity 0.15 rectangle 124,174 524,334' \
    "${reminder[@]}" \
    -font "$sans" -pointsize 12 -fill "$ink" \
    -annotate +140+220 'Your message mentions an attachment, but no file is attached.' \
    -annotate +140+244 'Would you like to attach a file before sending?' \
    "${attach[@]}" "${anyway[@]}" \
    "${jpeg[@]}" "$out/img1.jpg"

# The ribbon with the add-in's settings button marked.
"$convert" -size 759x162 xc:'#f3f5f8' \
    -fill '#dfe6ee' -draw 'rectangle 0,0 758,30' \
    -font "$sans" -pointsize 13 -fill "$ink" \
    -annotate +12+21 'File' -annotate +62+21 'Home' -annotate +122+21 'Send / Receive' \
    -annotate +232+21 'Folder' -annotate +292+21 'View' \
    -fill white -stroke '#b7c3d1' -draw 'rectangle 350,6 430,31' -stroke none \
    -fill "$ink" -annotate +362+21 'Add-Ins' \
    -fill white -stroke '#b7c3d1' -draw 'rectangle 0,31 758,140' -stroke none \
    -fill '#c9d3de' -draw 'rectangle 14,44 58,88' -draw 'rectangle 74,44 118,88' \
    -draw 'rectangle 134,44 178,88' -draw 'rectangle 210,44 254,88' \
    -fill "$accent" -draw 'roundrectangle 372,42 418,90 4,4' \
    -fill white -draw 'rectangle 381,56 409,76' -fill "$accent" -draw 'polyline 381,56 395,68 409,56' \
    -font "$sans" -pointsize 11 -fill "$ink" \
    -annotate +18+106 'New' -annotate +72+106 'Reply' -annotate +134+106 'Forward' \
    -annotate +212+106 'Delete' -annotate +360+106 'Enclosa' -annotate +358+120 'Settings' \
    -annotate +300+134 'Vostrel Outlook Enclosa' \
    -fill none -stroke '#d8262e' -strokewidth 3 -draw 'roundrectangle 348,36 444,128 10,10' \
    "${jpeg[@]}" "$out/img2.jpg"

# The settings window with its list of phrases.
mapfile -t settings < <(window 0 0 626 217 'Vostrel Outlook Enclosa - Settings')
mapfile -t add < <(button 430 40 84 'Add...')
mapfile -t modify < <(button 430 72 84 'Modify...')
mapfile -t remove < <(button 430 104 84 'Remove')
mapfile -t ok < <(button 430 180 84 'OK')
mapfile -t cancel < <(button 526 180 84 'Cancel')
"$convert" -size 627x218 xc:white "${settings[@]}" \
    -font "$sans" -pointsize 12 -fill "$ink" -annotate +14+42 'Phrases that trigger an attachment alert:' \
    -fill white -stroke '#8a99ab' -draw 'rectangle 14,50 414,204' -stroke none \
    -fill '#cfe8f0' -draw 'rectangle 15,71 413,89' \
    -fill "$ink" -annotate +22+66 'attached' -annotate +22+84 'attachment' \
    -annotate +22+102 'enclosed' -annotate +22+120 'please find' -annotate +22+138 'see the file' \
    -annotate +22+156 'in the enclosure' -annotate +22+174 'attach(ed|ment)s?' \
    "${add[@]}" "${modify[@]}" "${remove[@]}" "${ok[@]}" "${cancel[@]}" \
    "${jpeg[@]}" "$out/img3.jpg"

# The strip repeated across the top of the page.
"$convert" -size 8x54 gradient:'#dff1f6'-white "${jpeg[@]}" "$out/bg-main.jpg"

# The tick beside the first paragraph.
"$convert" -size 41x47 xc:white -fill none -stroke '#2e9a3e' -strokewidth 6 \
    -draw 'stroke-linecap round stroke-linejoin round path "M 8,25 L 17,35 L 34,12"' \
    "${jpeg[@]}" "$out/tick.jpg"

# The bullet of the list of links.
"$convert" -size 4x6 xc:white -fill "$link" -stroke none -draw 'polygon 0,0 3,3 0,5' \
    -strip "$out/main-bullet.gif"

# The step numbers.
for step in 1 2; do
    "$convert" -size 26x26 xc:white -fill "$accent" -draw 'circle 12.5,12.5 12.5,0.5' \
        -font "$bold" -pointsize 16 -fill white -gravity center -annotate +0+0 "$step" \
        -strip "$out/$step.gif"
done
