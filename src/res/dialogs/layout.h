// Places and sizes that differ between English and the other languages, in dialog units.
// English keeps the layout it always had; the others get room for texts up to 40% longer.
#pragma once
#ifdef VESK_LAYOUT_ENGLISH
#else
#endif
