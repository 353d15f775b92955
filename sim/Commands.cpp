#include "SimState.h"

namespace sim {

bool Simulator::LoadScenario(const std::string&, std::string* error) {
    if (error) *error = "scenarios are not read yet";
    return false;
}
bool Simulator::LoadScenarioFile(const std::string&, std::string* error) {
    if (error) *error = "scenarios are not read yet";
    return false;
}
std::string Simulator::DumpScenario() const {
    return "{}";
}
bool Simulator::Execute(const std::string&, std::string* error) {
    if (error) *error = "commands are not read yet";
    return false;
}
bool Simulator::ConfigureFromEnvironment(std::string*) {
    return true;
}

}  // namespace sim
