#include "fake_dock_host.h"

#include <algorithm>

namespace {

constexpr uint32_t videoFlag = 1;

} // namespace

void FakeDockHost::addSource(const QString &name, uint32_t flags, const QString &id)
{
	sourceList.push_back({name, id, flags, -1});
}

void FakeDockHost::addCountdown(const QString &name, int kind)
{
	sourceList.push_back({name, QLatin1String(countdownSourceId), videoFlag, kind});
}

void FakeDockHost::removeSource(const QString &name)
{
	sourceList.erase(std::remove_if(sourceList.begin(), sourceList.end(),
					[&](const DockSourceInfo &source) { return source.name == name; }),
			 sourceList.end());
}

int FakeDockHost::countdownCount() const
{
	return static_cast<int>(std::count_if(sourceList.begin(), sourceList.end(), [](const DockSourceInfo &source) {
		return source.id == QLatin1String(countdownSourceId);
	}));
}

QStringList FakeDockHost::sceneNames()
{
	++listCalls;
	return scenes;
}

std::vector<DockSourceInfo> FakeDockHost::sources()
{
	++listCalls;
	return sourceList;
}

std::vector<DockTransitionInfo> FakeDockHost::transitions()
{
	++listCalls;
	return transitionList;
}

bool FakeDockHost::isScene(const QString &name)
{
	return scenes.contains(name);
}

bool FakeDockHost::sourceExists(const QString &name)
{
	return scenes.contains(name) || std::any_of(sourceList.begin(), sourceList.end(),
						    [&](const DockSourceInfo &source) { return source.name == name; });
}

QString FakeDockHost::currentEditingScene()
{
	return studioMode ? previewScene : programScene;
}

PlaceResult FakeDockHost::placeInScene(const QString &scene, const QString &source, bool create, int kind)
{
	if (!scenes.contains(scene))
		return PlaceResult::Failed;
	if (create)
		addCountdown(source, kind);
	else if (!sourceExists(source))
		return PlaceResult::Failed;
	std::vector<Item> &sceneItems = items[scene];
	for (Item &item : sceneItems) {
		if (item.source == source) {
			item.selected = true;
			return PlaceResult::Selected;
		}
	}
	sceneItems.push_back({source, true});
	return PlaceResult::Added;
}
