// A spooler in memory that logs every call and fails exactly where a test asks.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "printers/spooler.h"

namespace tessaly::test {

struct FakePrinter {
    std::string port;
    bool paused = false;
    bool failOpen = false;
    bool failSizeQuery = false;
    bool failFetch = false;  // no room for the record, or the fetch itself fails
    bool failStore = false;
    std::string refusedPort;  // the spooler refuses to store this port
    bool failPause = false;
    bool pausedByTessaly = false;  // paused, and with Tessaly's reason
};

class FakeSpooler : public Spooler {
public:
    void Add(const std::string& name, FakePrinter printer) {
        m_order.push_back(name);
        printers[name] = std::move(printer);
    }
    void Delete(const std::string& name) { printers.erase(name); }

    std::vector<InstalledPrinter> EnumeratePrinters() override {
        calls.push_back("enumerate");
        std::vector<InstalledPrinter> listed;
        if (failEnumerate)
            return listed;
        for (const std::string& name : m_order)
            if (printers.count(name))
                listed.push_back({name, printers[name].port});
        return listed;
    }
    OpenResult OpenPrinter(const std::string& name) override {
        calls.push_back("open " + name);
        auto it = printers.find(name);
        if (it == printers.end())
            return {OpenStatus::NoSuchPrinter, {}};
        if (it->second.failOpen)
            return {OpenStatus::Failed, {}};
        return {OpenStatus::Opened, {name}};
    }
    bool QueryRecordSize(const PrinterHandle& printer) override {
        calls.push_back("query " + printer.name);
        return !printers.at(printer.name).failSizeQuery;
    }
    std::optional<PrinterRecord> FetchRecord(const PrinterHandle& printer) override {
        calls.push_back("fetch " + printer.name);
        const FakePrinter& fake = printers.at(printer.name);
        if (fake.failFetch)
            return std::nullopt;
        return PrinterRecord{printer.name, fake.port, fake.paused,
                             fake.paused && fake.pausedByTessaly};
    }
    bool StoreRecord(const PrinterHandle& printer, const PrinterRecord& record) override {
        calls.push_back("store " + printer.name + " " + record.port);
        if (beforeStore)
            beforeStore(printer.name, record.port);
        FakePrinter& fake = printers.at(printer.name);
        if (fake.failStore || record.port == fake.refusedPort)
            return false;
        fake.port = record.port;
        return true;
    }
    bool PausePrinter(const PrinterHandle& printer) override {
        calls.push_back("pause " + printer.name);
        FakePrinter& fake = printers.at(printer.name);
        if (fake.failPause) {
            return false;
        }
        fake.paused = true;
        fake.pausedByTessaly = true;
        return true;
    }
    bool ResumePrinter(const PrinterHandle& printer) override {
        calls.push_back("resume " + printer.name);
        printers.at(printer.name).paused = false;
        printers.at(printer.name).pausedByTessaly = false;
        return true;
    }
    void ClosePrinter(const PrinterHandle& printer) override {
        calls.push_back("close " + printer.name);
    }

    std::map<std::string, FakePrinter> printers;
    std::vector<std::string> calls;
    bool failEnumerate = false;
    std::function<void(const std::string& name, const std::string& port)> beforeStore;

private:
    std::vector<std::string> m_order;
};

}  // namespace tessaly::test
