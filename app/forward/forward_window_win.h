#pragma once

// Opens the forward window modeless; the forward mode lives on its events.
void ShowForwardWindow();
