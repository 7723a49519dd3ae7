#pragma once

#include <obs-data.h>

/* Vendor requests that reach the host's widgets by object name, on the UI thread.
 * "click" {"objectName"}: clicks the first button of that name;
 *   answers {"found", "enabled"} (a disabled button is not clicked).
 * "widget_text" {"objectName"}: the text of the first label or button of that name;
 *   answers {"found", "enabled", "text"}. */
void clickRequest(obs_data_t *request, obs_data_t *response, void *priv);
void widgetTextRequest(obs_data_t *request, obs_data_t *response, void *priv);
