#include "dock/obs_dock_host.h"

#include "dock/countdown_placement.h"
#include "dock/dock_host.h"

#include <obs-frontend-api.h>
#include <obs.hpp>

namespace {

constexpr uint32_t fallbackCanvasWidth = 1920;
constexpr uint32_t fallbackCanvasHeight = 1080;

QString nameOf(obs_source_t *source)
{
	return QString::fromUtf8(obs_source_get_name(source));
}

bool collectSource(void *param, obs_source_t *source)
{
	auto *sources = static_cast<std::vector<DockSourceInfo> *>(param);
	DockSourceInfo info;
	info.name = nameOf(source);
	const char *id = obs_source_get_id(source);
	info.id = QString::fromUtf8(id ? id : "");
	info.outputFlags = obs_source_get_output_flags(source);
	if (info.id == QLatin1String(countdownSourceId)) {
		OBSDataAutoRelease settings = obs_source_get_settings(source);
		info.countdownKind = static_cast<int>(obs_data_get_int(settings, "kind"));
	}
	sources->push_back(info);
	return true;
}

void canvasSize(uint32_t &width, uint32_t &height)
{
	obs_video_info video = {};
	const bool known = obs_get_video_info(&video) && video.base_width > 0 && video.base_height > 0;
	width = known ? video.base_width : fallbackCanvasWidth;
	height = known ? video.base_height : fallbackCanvasHeight;
}

class ObsDockHost final : public DockHost {
public:
	QStringList sceneNames() override
	{
		QStringList names;
		char **list = obs_frontend_get_scene_names();
		for (char **name = list; name && *name; ++name)
			names.append(QString::fromUtf8(*name));
		bfree(list);
		return names;
	}

	std::vector<DockSourceInfo> sources() override
	{
		std::vector<DockSourceInfo> sources;
		obs_enum_sources(collectSource, &sources);
		return sources;
	}

	std::vector<DockTransitionInfo> transitions() override
	{
		std::vector<DockTransitionInfo> transitions;
		obs_frontend_source_list list = {};
		obs_frontend_get_transitions(&list);
		for (size_t i = 0; i < list.sources.num; ++i) {
			obs_source_t *transition = list.sources.array[i];
			transitions.push_back({nameOf(transition), obs_transition_fixed(transition)});
		}
		obs_frontend_source_list_free(&list);
		return transitions;
	}

	bool isScene(const QString &name) override
	{
		OBSSourceAutoRelease source = obs_get_source_by_name(name.toUtf8().constData());
		return source && obs_source_is_scene(source);
	}

	bool sourceExists(const QString &name) override
	{
		OBSSourceAutoRelease source = obs_get_source_by_name(name.toUtf8().constData());
		return source != nullptr;
	}

	QString currentEditingScene() override
	{
		OBSSourceAutoRelease scene = obs_frontend_preview_program_mode_active()
						     ? obs_frontend_get_current_preview_scene()
						     : obs_frontend_get_current_scene();
		return scene ? nameOf(scene) : QString();
	}

	PlaceResult placeInScene(const QString &sceneName, const QString &sourceName, bool create, int kind) override
	{
		OBSSourceAutoRelease sceneSource = obs_get_source_by_name(sceneName.toUtf8().constData());
		obs_scene_t *scene = sceneSource ? obs_scene_from_source(sceneSource) : nullptr;
		if (!scene)
			return PlaceResult::Failed;
		const QByteArray name = sourceName.toUtf8();
		OBSSourceAutoRelease source;
		if (create) {
			OBSDataAutoRelease settings = obs_data_create();
			obs_data_set_int(settings, "kind", kind);
			source = obs_source_create(countdownSourceId, name.constData(), settings, nullptr);
		} else {
			source = obs_get_source_by_name(name.constData());
		}
		if (!source)
			return PlaceResult::Failed;

		if (obs_sceneitem_t *existing = obs_scene_find_source(scene, name.constData())) {
			obs_sceneitem_select(existing, true);
			return PlaceResult::Selected;
		}
		obs_sceneitem_t *item = obs_scene_add(scene, source);
		if (!item)
			return PlaceResult::Failed;
		uint32_t width = 0;
		uint32_t height = 0;
		canvasSize(width, height);
		obs_sceneitem_set_alignment(item, 0);
		vec2 centre;
		vec2_set(&centre, width * 0.5f, height * 0.5f);
		obs_sceneitem_set_pos(item, &centre);
		// The whole picture on the canvas, however wide its text makes it.
		const auto fit = static_cast<float>(
			scaleToFit(QSize(int(obs_source_get_width(source)), int(obs_source_get_height(source))),
				   QSize(int(width), int(height))));
		vec2 scale;
		vec2_set(&scale, fit, fit);
		obs_sceneitem_set_scale(item, &scale);
		obs_sceneitem_select(item, true);
		return PlaceResult::Added;
	}
};

} // namespace

std::unique_ptr<DockHost> makeObsDockHost()
{
	return std::make_unique<ObsDockHost>();
}
