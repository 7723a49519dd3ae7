#pragma once

#include <QString>

#include <cstdint>
#include <optional>

struct obs_data;
typedef struct obs_data obs_data_t;

// Reads the fields of a data object that came from outside (a request of another tool, a
// record read back from a file) with their JSON types checked. The first bad or missing
// field is kept as a short English sentence; later reads only add to it when none is kept.
class DataFields {
public:
	enum Need { Required, Optional };

	// The object may be null: then every field is missing.
	explicit DataFields(obs_data_t *data) : data(data) {}

	std::optional<bool> boolean(const char *name, Need need = Required);
	// A missing optional text reads as empty.
	QString text(const char *name, Need need = Required);
	// A whole number within [minimum, maximum]; a JSON number with a fraction is refused.
	std::optional<int64_t> integer(const char *name, int64_t minimum, int64_t maximum, Need need = Required);

	bool ok() const { return error_.isEmpty(); }
	const QString &error() const { return error_; }

private:
	void fail(const QString &sentence);

	obs_data_t *data;
	QString error_;
};
