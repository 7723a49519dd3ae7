#include "crew/crew_addresses.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkInterface>

namespace {

bool isPrivate(const QHostAddress &address)
{
	const quint32 ip = address.toIPv4Address();
	return (ip >> 24) == 10 || (ip >> 20) == (172u << 4 | 1u) || (ip >> 16) == (192u << 8 | 168u);
}

} // namespace

QStringList crewLanAddresses()
{
	QStringList privateOnes, others;
	for (const QHostAddress &address : QNetworkInterface::allAddresses()) {
		if (address.protocol() != QAbstractSocket::IPv4Protocol || address.isLoopback())
			continue;
		(isPrivate(address) ? privateOnes : others) << address.toString();
	}
	return privateOnes + others;
}

QString crewLinkAddress(const QString &chosen)
{
	const QStringList addresses = crewLanAddresses();
	if (!chosen.isEmpty() && addresses.contains(chosen))
		return chosen;
	return addresses.isEmpty() ? QStringLiteral("127.0.0.1") : addresses.first();
}

std::vector<std::string> crewOwnNames()
{
	std::vector<std::string> names{"localhost", "127.0.0.1"};
	const QString host = QHostInfo::localHostName();
	if (!host.isEmpty()) {
		names.push_back(host.toStdString());
		names.push_back(host.toStdString() + ".local");
	}
	for (const QHostAddress &address : QNetworkInterface::allAddresses())
		if (address.protocol() == QAbstractSocket::IPv4Protocol)
			names.push_back(address.toString().toStdString());
	return names;
}
