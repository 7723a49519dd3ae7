#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

// This computer on the network, as the crew's page needs it. Read when the page starts.

// Its IPv4 addresses but the loopback: private ones (10/8, 172.16/12, 192.168/16) first,
// each in the order the system gives.
QStringList crewLanAddresses();
// The address the links carry on the local network: the chosen one while this computer
// still has it, else the first of crewLanAddresses, else 127.0.0.1.
QString crewLinkAddress(const QString &chosen);
// What a request's Host header may name: "localhost", this computer's name (and its
// ".local" one) and every IPv4 address it has, the loopback included.
std::vector<std::string> crewOwnNames();
