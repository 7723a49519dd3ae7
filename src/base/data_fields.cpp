#include "base/data_fields.h"

#include <obs-data.h>

#include <cmath>
#include <limits>

namespace {

// The item of that name, released when it goes out of scope; null when absent.
class Item {
public:
	Item(obs_data_t *data, const char *name) : item(data ? obs_data_item_byname(data, name) : nullptr) {}
	~Item() { obs_data_item_release(&item); }
	Item(const Item &) = delete;
	Item &operator=(const Item &) = delete;

	obs_data_item_t *get() const { return item; }
	bool present() const { return item && obs_data_item_has_user_value(item); }
	obs_data_type type() const { return obs_data_item_gettype(item); }

private:
	obs_data_item_t *item;
};

QString quoted(const char *name)
{
	return QStringLiteral("'%1'").arg(QString::fromUtf8(name));
}

// The item's number when it is a whole one that fits, else nothing.
std::optional<int64_t> wholeNumber(obs_data_item_t *item)
{
	if (obs_data_item_numtype(item) == OBS_DATA_NUM_INT)
		return obs_data_item_get_int(item);
	const double value = obs_data_item_get_double(item);
	// Doubles at and beyond 2^63 do not fit; the bounds below are exact in a double.
	if (!std::isfinite(value) || value != std::floor(value) || value < -9223372036854775808.0 ||
	    value >= 9223372036854775808.0)
		return std::nullopt;
	return static_cast<int64_t>(value);
}

} // namespace

void DataFields::fail(const QString &sentence)
{
	if (error_.isEmpty())
		error_ = sentence;
}

std::optional<bool> DataFields::boolean(const char *name, Need need)
{
	const Item item(data, name);
	if (!item.present()) {
		if (need == Required)
			fail(QStringLiteral("%1 is missing.").arg(quoted(name)));
		return std::nullopt;
	}
	if (item.type() != OBS_DATA_BOOLEAN) {
		fail(QStringLiteral("%1 must be true or false.").arg(quoted(name)));
		return std::nullopt;
	}
	return obs_data_item_get_bool(item.get());
}

QString DataFields::text(const char *name, Need need)
{
	const Item item(data, name);
	if (!item.present()) {
		if (need == Required)
			fail(QStringLiteral("%1 is missing.").arg(quoted(name)));
		return QString();
	}
	if (item.type() != OBS_DATA_STRING) {
		fail(QStringLiteral("%1 must be a string.").arg(quoted(name)));
		return QString();
	}
	return QString::fromUtf8(obs_data_item_get_string(item.get()));
}

std::optional<int64_t> DataFields::integer(const char *name, int64_t minimum, int64_t maximum, Need need)
{
	const Item item(data, name);
	if (!item.present()) {
		if (need == Required)
			fail(QStringLiteral("%1 is missing.").arg(quoted(name)));
		return std::nullopt;
	}
	const std::optional<int64_t> value =
		item.type() == OBS_DATA_NUMBER ? wholeNumber(item.get()) : std::optional<int64_t>();
	if (!value || *value < minimum || *value > maximum) {
		const bool bounded = minimum != std::numeric_limits<int64_t>::min() ||
				     maximum != std::numeric_limits<int64_t>::max();
		fail(bounded ? QStringLiteral("%1 must be a whole number from %2 to %3.")
				       .arg(quoted(name))
				       .arg(minimum)
				       .arg(maximum)
			     : QStringLiteral("%1 must be a whole number.").arg(quoted(name)));
		return std::nullopt;
	}
	return value;
}
