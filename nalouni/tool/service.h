// The driver's service "NALOUNI" in the service manager.
#pragma once

#include <string>

enum class ServiceState { NotInstalled, Stopped, Starting, Running, Stopping, Unknown };

const char *StateName(ServiceState state);
ServiceState QueryService();

// Creates the service, or points an existing one at "imagePath", as a
// demand-start kernel driver. Leaves it as it runs.
bool ConfigureService(const std::string &imagePath, std::string *error);

// Each waits until the service has reached the state, within a few seconds.
bool StartDriver(std::string *error);
bool StopDriver(std::string *error);  // a stopped service counts as done

bool RemoveService(std::string *error);

// The service's ImagePath as the service manager holds it, or "".
std::string ServiceImage();
