#include "module/source_rename.h"

#include "director/director.h"
#include "settings/preset_store.h"

#include <obs.h>

#include <QMetaObject>

namespace {

bool connected = false;

// May come on any host thread; the work is done on the director's thread.
void onSourceRename(void *, calldata_t *data)
{
	const char *prevName = calldata_string(data, "prev_name");
	const char *newName = calldata_string(data, "new_name");
	const QString oldText = QString::fromUtf8(prevName ? prevName : "");
	const QString newText = QString::fromUtf8(newName ? newName : "");
	Director *director = directorInstance();
	if (!director || oldText.isEmpty() || newText.isEmpty())
		return;
	QMetaObject::invokeMethod(
		director,
		[director, oldText, newText] {
			renameSourceInPresets(oldText, newText);
			director->renameSource(oldText, newText);
		},
		Qt::QueuedConnection);
}

} // namespace

void connectRenameSignal(bool on)
{
	if (on == connected)
		return;
	connected = on;
	signal_handler_t *handler = obs_get_signal_handler();
	if (on)
		signal_handler_connect(handler, "source_rename", onSourceRename, nullptr);
	else
		signal_handler_disconnect(handler, "source_rename", onSourceRename, nullptr);
}
