#pragma once
// The picture handed over comes back.
//
// An object that takes the picture drawn so far (it asks for a render-target
// switch, so the light hands it the picture as its target texture) owns the
// frame until it draws that picture back. DrawPictureBack copies the target
// texture onto the current target, opaque, through the built-in
// "picture-copy" effect: objects call it whenever they cannot draw their own
// composite (no effect, no texture, no mask), so one missing resource never
// blacks out the slide.

class DS_ABRender;

// Draws the host's target texture over its background quad. Returns false
// (and draws nothing) when there is no picture to give back or no document
// resource manager to find the copy effect in.
bool DrawPictureBack(DS_ABRender& host);
