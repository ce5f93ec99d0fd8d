# The Debian package: `cpack -G DEB` in a build folder packs what `cmake --install`
# lays out there, under /usr. The libraries the program links come from the
# binary itself (dpkg-shlibdeps); GStreamer's plug-ins and the MIDI soundfont
# are loaded at run time, so they are named here: base (Ogg, Vorbis, Opus),
# good (WAV, AU, FLAC, MP4, MP3 parsing), bad (MIDI through fluidsynth), ugly
# (ASF), libav (WMA, MP3 and AAC decoding); Qt's window-system plug-ins likewise.
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR "Quorvane developers")
set(CPACK_PACKAGE_CONTACT "Quorvane developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "media player with a media library of its own")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quorvane scans folders for media files into a tree and a library file,\n\
plays an ordered playlist with three loop modes and shows the tags of what\n\
is playing. Its user interface is in Japanese.")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/quorvane/quorvane)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, \
gstreamer1.0-plugins-ugly, gstreamer1.0-libav, timgm6mb-soundfont | sf2-soundfont-gm, \
qt6-qpa-plugins")
# Sound through the desktop's server, the Japanese font the forms were laid out
# for, Qt's own Japanese button texts, dbus-send for the desktop entry's actions.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "gstreamer1.0-pulseaudio | gstreamer1.0-pipewire | gstreamer1.0-alsa, \
fonts-ipafont-gothic, qt6-translations-l10n, dbus-bin")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS playerctl)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
