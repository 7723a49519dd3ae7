#pragma once

#include <obs-data.h>

/* Vendor requests that change the host as its own settings window would, on the UI thread.
 * "bind_hotkey" {"name", "key"}: binds the key (an OBS key name such as "OBS_KEY_F9") to
 *   the first frontend hotkey of that name, replacing its bindings; answers {"found"}.
 * "save_settings": the host saves its settings now, as after any change in its window
 *   (the save itself runs a moment later on the UI thread); answers {}.
 * "block_ui" {"ms"}: the UI thread is busy for that long, as with a slow window or plug-in,
 *   from a moment after the answer; answers {}. */
void bindHotkeyRequest(obs_data_t *request, obs_data_t *response, void *priv);
void saveSettingsRequest(obs_data_t *request, obs_data_t *response, void *priv);
void blockUiRequest(obs_data_t *request, obs_data_t *response, void *priv);
