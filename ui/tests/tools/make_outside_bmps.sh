#!/bin/sh
# Makes the BMP files that the reader is checked against: each picture is
# drawn by ImageMagick, kept as an 8-bit PPM (the expected pixels), and saved
# by ImageMagick's own BMP writer in one of the layouts it offers.
set -eu
out=$1
mkdir -p "$out"
cd "$out"
im() { convert "$@"; }

# Sources: two colours, sixteen colours, a 32 x 96 title of a few dozen
# colours, the eight pure colours (exact in 5 and 6-bit channels) and a
# picture of many colours.
im -size 37x23 pattern:checkerboard -threshold 50% -depth 8 mono.ppm
im -size 37x23 pattern:checkerboard -fill red -draw "circle 18,11 18,2" -fill '#20C080' \
   -draw "rectangle 30,0 36,5" +dither -colors 16 -depth 8 sixteen.ppm
im -size 32x96 gradient:red-blue -fill yellow -draw "rectangle 4,10 27,14" -fill black \
   -draw "rectangle 8,40 23,70" +dither -colors 60 -depth 8 title.ppm
im -size 29x17 xc:black -fill '#FF0000' -draw 'rectangle 0,0 9,16' -fill '#00FF00' \
   -draw 'rectangle 10,0 19,8' -fill '#0000FF' -draw 'rectangle 10,9 19,16' -fill '#FFFF00' \
   -draw 'point 25,3' -fill white -draw 'rectangle 22,10 28,16' -fill '#FF00FF' -draw 'point 0,0' \
   -fill '#00FFFF' -draw 'point 28,0' -depth 8 pure.ppm
im -seed 7 -size 41x19 plasma:fractal -depth 8 many.ppm

im mono.ppm -type Bilevel BMP3:mono_1bit.bmp
im sixteen.ppm -type Palette BMP3:sixteen_4bit.bmp
im title.ppm -type Palette -compress None BMP3:title_8bit.bmp
im title.ppm -type Palette -compress RLE BMP3:title_rle8.bmp
im title.ppm -type Palette -compress RLE BMP:title_rle8_v5.bmp
im pure.ppm -define bmp:subtype=RGB555 BMP:pure_555_v5.bmp
im pure.ppm -define bmp:subtype=RGB565 BMP:pure_565_v5.bmp
# (Its 16-bit BMP3 files claim bit fields without writing the masks, so only
# the V5 layout is used for 16 bits.)
im many.ppm -type TrueColor BMP3:many_24bit.bmp
im many.ppm -type TrueColor BMP:many_24bit_v5.bmp
im many.ppm -alpha set -alpha opaque BMP:many_32bit_opaque_v5.bmp
im many.ppm -alpha set -channel A -fx 'i/w' +channel BMP:many_32bit_alpha_v5.bmp
im many.ppm -alpha set -channel A -fx 'i/w' +channel -define bmp3:alpha=true BMP3:many_32bit_alpha.bmp
touch done.stamp
