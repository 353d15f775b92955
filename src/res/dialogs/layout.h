// Places and sizes that differ between English and the other languages, in dialog units.
// English keeps the layout it always had; the others get room for texts about 40% longer
// (what the pseudo-language checks): a wider tree, label column and buttons.
#pragma once
#ifdef VESK_LAYOUT_ENGLISH
#define FORM_W 450
#define FORM_TREE_W 80
#define FORM_SEPARATOR_X 91
#define FORM_LINE_W 449
// The About box's text, down to the OK button.
#define ABOUT_TEXT_H 79
// The settings page's rows: label, slider, value, Apply.
#define ASIO_LABEL_W 94
#define ASIO_SLIDER_X 110
#define ASIO_SLIDER_W 120
#define ASIO_VALUE_X 234
#define ASIO_VALUE_W 54
#define ASIO_VALUE_H 18
#define ASIO_APPLY_X 292
#define ASIO_APPLY_W 44
// The devices page: the list, the Up and Down buttons beside it, the rename button.
#define DEVICES_LIST_W 306
#define DEVICES_MOVE_X 319
#define DEVICES_MOVE_W 24
#define DEVICES_RENAME_W 100
// The synchronisation page's mode button.
#define SYNC_CHANGE_MODE_W 120
#else
#define FORM_W 462
#define FORM_TREE_W 92
#define FORM_SEPARATOR_X 103
// A dialog unit short of the edge, and of the OK button, where rounding to the pixels of
// another font would otherwise cross them.
#define FORM_LINE_W (FORM_W - 2)
#define ABOUT_TEXT_H 78
#define ASIO_LABEL_W 124
#define ASIO_SLIDER_X 140
#define ASIO_SLIDER_W 86
#define ASIO_VALUE_X 228
#define ASIO_VALUE_W 56
#define ASIO_VALUE_H 26
#define ASIO_APPLY_X 286
#define ASIO_APPLY_W 50
#define DEVICES_LIST_W 282
#define DEVICES_MOVE_X 293
#define DEVICES_MOVE_W 50
#define DEVICES_RENAME_W 140
#define SYNC_CHANGE_MODE_W 160
#endif
