#pragma once

// The hand-off pipe of the terminal event loop, made at start-up and closed at
// shutdown (which releases every thread waiting in RunOnUiThread).
namespace posixui {
void CreateHandoff();
void DestroyHandoff();
}  // namespace posixui
