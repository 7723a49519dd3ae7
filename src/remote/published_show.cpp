#include "remote/published_show.h"

#include "base/qt_compat.h"
#include "settings/preset_store.h"
#include "show/show_report.h"
#include "show/show_state.h"

#include <mutex>

namespace {

std::mutex mutex;
PublishedShow published;

} // namespace

void publishSaveProblem(const QString &saveProblem)
{
	std::lock_guard<std::mutex> lock(mutex);
	compat::assignCopy(published.saveProblem, saveProblem);
}

void publishPresetList()
{
	QStringList names;
	for (int i = 0; i < presetCount(); ++i)
		names.append(presetAt(i).name);
	QString current = selectedPreset().name;
	std::lock_guard<std::mutex> lock(mutex);
	published.presets = std::move(names);
	published.currentPreset = std::move(current);
}

PublishedShow publishedShow()
{
	std::lock_guard<std::mutex> lock(mutex);
	return published;
}

ShowReport currentShowReport()
{
	const PublishedShow show = publishedShow();
	return composeShowReport(showState().snapshot(), readFlow(), show.saveProblem);
}
