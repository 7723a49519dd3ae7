// The host's side of the countdown source: callbacks, properties and the per-frame
// upload and draw. Composing happens on the render worker's thread.
#include "source/countdown_source.h"

#include "show/show_state.h"
#include "source/frame_pass.h"
#include "source/frame_slot.h"
#include "source/frame_texture.h"
#include "source/layer_effect.h"
#include "source/render_worker.h"

#include <obs-module.h>

#include <atomic>
#include <system_error>

namespace {

// The sources alive; the last one to go frees the effect they draw with.
std::atomic<int> liveSources{0};

struct CountdownSource {
	explicit CountdownSource(obs_source_t *source_) : source(source_) {}

	obs_source_t *source; // not owned
	FrameSlot slot;
	FrameTexture texture; // graphics thread only, and destroy
};

bool isBreakKind(obs_data_t *settings)
{
	return obs_data_get_int(settings, "kind") == KindBreak;
}

int kindOf(const CountdownSource &countdown)
{
	return countdown.slot.isBreak() ? KindBreak : KindStandby;
}

const char *getName(void *)
{
	return obs_module_text("Source.Name");
}

void update(void *data, obs_data_t *settings)
{
	static_cast<CountdownSource *>(data)->slot.setKind(isBreakKind(settings));
}

// The source's own procedure "curtainup_get_stats": how many frames it has uploaded, for
// tests and tools that watch its redraws without a log line per frame.
void getStats(void *data, calldata_t *call)
{
	const auto *countdown = static_cast<const CountdownSource *>(data);
	calldata_set_int(call, "uploads", static_cast<long long>(countdown->texture.uploadCount()));
}

void *create(obs_data_t *settings, obs_source_t *source)
{
	auto *countdown = new CountdownSource(source);
	++liveSources;
	update(countdown, settings);
	proc_handler_add(obs_source_get_proc_handler(source), "void curtainup_get_stats(out int uploads)", getStats,
			 countdown);
	return countdown;
}

void destroy(void *data)
{
	auto *countdown = static_cast<CountdownSource *>(data);
	try {
		renderWorker().forget(&countdown->slot);
	} catch (const std::system_error &) {
		// No worker could ever start, so nothing of this source was queued.
	}
	countdown->texture.release();
	delete countdown;
	if (--liveSources == 0) {
		obs_enter_graphics();
		releaseLayerEffect();
		obs_leave_graphics();
	}
}

uint32_t getWidth(void *data)
{
	return static_cast<uint32_t>(showState().naturalSize(kindOf(*static_cast<CountdownSource *>(data))).width());
}

uint32_t getHeight(void *data)
{
	return static_cast<uint32_t>(showState().naturalSize(kindOf(*static_cast<CountdownSource *>(data))).height());
}

void getDefaults(obs_data_t *settings)
{
	obs_data_set_default_int(settings, "kind", KindStandby);
}

obs_properties_t *getProperties(void *)
{
	obs_properties_t *props = obs_properties_create();
	obs_property_t *kind = obs_properties_add_list(props, "kind", obs_module_text("Prop.Kind"), OBS_COMBO_TYPE_LIST,
						       OBS_COMBO_FORMAT_INT);
	obs_property_list_add_int(kind, obs_module_text("Prop.Kind.Standby"), KindStandby);
	obs_property_list_add_int(kind, obs_module_text("Prop.Kind.Break"), KindBreak);
	obs_properties_add_text(props, "help", obs_module_text("Prop.Help"), OBS_TEXT_INFO);
	return props;
}

// The process's render worker as the per-frame pass queues to it.
class WorkerQueue final : public RenderQueue {
public:
	bool enqueue(FrameSlot &slot) override
	{
		try {
			renderWorker().enqueue(&slot);
			return true;
		} catch (const std::system_error &) {
			return false;
		}
	}
};

// Drawn with an effect of its own (custom draw), so that each layer has its opacity.
void videoRender(void *data, gs_effect_t *)
{
	auto &countdown = *static_cast<CountdownSource *>(data);
	WorkerQueue worker;
	if (prepareFrame(countdown.slot, countdown.texture, showState().revision(), worker))
		countdown.texture.draw();
}

} // namespace

void registerCountdownSource()
{
	obs_source_info info = {};
	info.id = "curtainup_source";
	info.type = OBS_SOURCE_TYPE_INPUT;
	info.output_flags = OBS_SOURCE_VIDEO | OBS_SOURCE_SRGB | OBS_SOURCE_CUSTOM_DRAW;
	info.icon_type = OBS_ICON_TYPE_SLIDESHOW;
	info.get_name = getName;
	info.create = create;
	info.destroy = destroy;
	info.get_width = getWidth;
	info.get_height = getHeight;
	info.get_defaults = getDefaults;
	info.get_properties = getProperties;
	info.update = update;
	info.video_render = videoRender;
	obs_register_source(&info);
}
