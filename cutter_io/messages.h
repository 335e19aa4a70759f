// The programs' fixed console texts that are not plain ASCII, as Shift-JIS
// (code page 932) bytes, each spelled once.
#ifndef CUTTER_IO_MESSAGES_H
#define CUTTER_IO_MESSAGES_H

// ファイルをオープンできません ("cannot open the file"); tablecut ends it
// with a full stop, scancut does not.
#define D88_CANNOT_OPEN_TEXT \
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x83\x49\x81\x5b\x83\x76\x83\x93\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1"

// を認識しました ("has been recognised"), after a disk kind's name.
#define D88_RECOGNISED_TEXT "\x82\xf0\x94\x46\x8e\xaf\x82\xb5\x82\xdc\x82\xb5\x82\xbd"

#endif
