#!/usr/bin/env bash
# Makes the short clips that the player's tests play: one of each kind of
# file that the open dialog offers (a 2 s, 320x240 test picture with a tone),
# one without sound and one with sound only; and a longer one without sound,
# that plays on while a test pauses it.
#
#   make-clips.sh FOLDER
set -eu
out=$1
mkdir -p "$out"
if ! command -v ffmpeg >/dev/null; then
    echo "make-clips: ffmpeg is not installed; the player's clip tests skip"
    exit 0
fi

picture=(-f lavfi -i testsrc=size=320x240:rate=25)
tone=(-f lavfi -i sine=frequency=440:sample_rate=44100)
h264=(-c:v libx264 -pix_fmt yuv420p)

# make NAME FORMAT INPUT-AND-CODEC-OPTIONS...
make() {
    local name=$1 format=$2
    shift 2
    [ -s "$out/$name" ] && return
    # Written under another name first: a clip that is there is whole.
    ffmpeg -loglevel error -y "$@" -t "${seconds:-2}" -f "$format" "$out/making-$name"
    mv "$out/making-$name" "$out/$name"
}

make clip.mp4 mp4 "${picture[@]}" "${tone[@]}" "${h264[@]}" -c:a aac
make clip.mov mov "${picture[@]}" "${tone[@]}" "${h264[@]}" -c:a aac
make clip.ts mpegts "${picture[@]}" "${tone[@]}" "${h264[@]}" -c:a aac
make clip.3gp 3gp "${picture[@]}" "${tone[@]}" "${h264[@]}" -c:a aac
make clip.m4v mp4 "${picture[@]}" "${tone[@]}" "${h264[@]}" -c:a aac
make clip.flv flv "${picture[@]}" "${tone[@]}" "${h264[@]}" -c:a aac
make clip.3g2 3g2 "${picture[@]}" "${tone[@]}" "${h264[@]}" -c:a aac
make clip.avi avi "${picture[@]}" "${tone[@]}" -c:v mpeg4 -vtag XVID -c:a libmp3lame
make clip.mkv matroska "${picture[@]}" "${tone[@]}" "${h264[@]}" -c:a aac
make clip.mpg mpeg "${picture[@]}" "${tone[@]}" -c:v mpeg2video -c:a mp2
make clip.mpeg mpeg "${picture[@]}" "${tone[@]}" -c:v mpeg1video -c:a mp2
make clip.divx avi "${picture[@]}" "${tone[@]}" -c:v mpeg4 -vtag DIVX -c:a libmp3lame
make clip.webm webm "${picture[@]}" "${tone[@]}" -c:v libvpx -c:a libvorbis
make clip.asf asf "${picture[@]}" "${tone[@]}" -c:v wmv2 -c:a wmav2
make clip.wmv asf "${picture[@]}" "${tone[@]}" -c:v wmv2 -c:a wmav2
make silent.mp4 mp4 "${picture[@]}" "${h264[@]}"
make sound.mp4 mp4 "${tone[@]}" -c:a aac
seconds=30 make long.mp4 mp4 -f lavfi -i testsrc=size=160x120:rate=10 "${h264[@]}"
