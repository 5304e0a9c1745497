#include "ports/serial_port_info.h"

namespace tessaly {

namespace {

void Append(std::string& text, const std::string& part) {
    if (part.empty()) {
        return;
    }
    if (!text.empty()) {
        text += ", ";
    }
    text += part;
}

}  // namespace

std::string SerialPortInfo::Label() const {
    const std::string& what = !product.empty() ? product : manufacturer;
    return what.empty() ? kernelName : kernelName + " (" + what + ")";
}

std::string SerialPortInfo::Description() const {
    std::string maker = manufacturer;
    if (!product.empty()) {
        maker += maker.empty() ? product : " " + product;
    }
    std::string text;
    Append(text, maker);
    Append(text, serialNumber.empty() ? std::string() : "serial " + serialNumber);
    Append(text, vendorId.empty() ? std::string() : vendorId + ":" + productId);
    Append(text, driver);
    return text;
}

std::string HoldersText(const std::vector<PortHolder>& holders) {
    std::string text;
    for (const PortHolder& holder : holders) {
        Append(text, holder.program + " (pid " + std::to_string(holder.pid) + ")");
    }
    return text;
}

}  // namespace tessaly
