#pragma once

// Registers the countdown source type "curtainup_source" with the host.
void registerCountdownSource();
