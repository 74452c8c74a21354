#pragma once
// The Windows font names the windows are designed with, mapped to the
// Japanese faces a Debian desktop has.

// Points "ＭＳ Ｐゴシック" and its spellings at the IPA P gothic and
// "ＭＳ 明朝" and its spellings at the IPA mincho (Debian's
// fonts-ipafont-gothic and fonts-ipafont-mincho); fontconfig would
// otherwise give a Latin face for those names. Call once, after the
// application object exists.
void registerJapaneseFonts();
