#!/usr/bin/env bash
# gst-avi.sh for the later kind of .flv, H.264 video with AAC sound: the same AVI (msmpeg4v2 at
# 500 kbit/s, MP3 at 128 kbit/s), as a Linux user would type it. Usage: gst-avi-h264.sh SOURCE TARGET
exec gst-launch-1.0 -q filesrc location="$1" ! flvdemux name=d d.video ! queue ! h264parse ! avdec_h264 \
  ! videoconvert ! avenc_msmpeg4v2 bitrate=500000 ! queue ! m. d.audio ! queue ! aacparse ! avdec_aac \
  ! audioconvert ! audioresample ! lamemp3enc bitrate=128 ! queue ! m. avimux name=m ! filesink location="$2"
