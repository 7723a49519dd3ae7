#pragma once

#include <cstddef>

// The crew's page (both links), built into the module from pages/crew_page.html.
extern const unsigned char crewPageHtml[];
extern const std::size_t crewPageHtmlSize;
