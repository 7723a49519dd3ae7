// The module's single director.
#include "director/director.h"

#include "director/obs_director_host.h"

namespace {
std::unique_ptr<Director> instance;
// Hotkey and signal callbacks look it up on host threads.
std::atomic<Director *> published{nullptr};
} // namespace

Director *createDirector()
{
	return instance ? instance.get() : createDirector(makeObsDirectorHost());
}

Director *createDirector(std::unique_ptr<DirectorHost> host)
{
	if (!instance) {
		instance = std::make_unique<Director>(std::move(host));
		published.store(instance.get());
	}
	return instance.get();
}

Director *directorInstance()
{
	return published.load();
}

void destroyDirector()
{
	published.store(nullptr);
	instance.reset();
}
