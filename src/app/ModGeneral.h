#pragma once
// Process-wide values that tie the hotkey poll, the capture control, the
// selection overlays and the preview together, and a window helper.
#include <cstdint>
#include <memory>
#include <string>

#include "forms/Object.h"
#include "forms/Values.h"

namespace ModGeneral {

// The last key seen down by the hotkey poll (or a marker of the capture page).
extern int32_t g_LastKey;
// True while a capture started by the hotkey is on its way.
extern forms::Boolean g_CapturedByHotkey;
// True while the region or the object overlay is open.
extern forms::Boolean g_RegionSelecting;
extern forms::Boolean g_ObjectSelecting;

// Puts the form ("hWnd") above every window that is not topmost itself when
// OnTop is True, else takes it out of that band; keeps its place and size,
// shows it and does not activate it.
void SetFormOnTop(forms::Object& Form, forms::Boolean OnTop);

// Tells the user, in one message box, that a capture did not reach its
// destination: "the clipboard" or "the file \"...\"", with a reason when
// one is known.
void ReportNotSaved(const std::wstring& Destination, const std::wstring& Reason = {});

}  // namespace ModGeneral
