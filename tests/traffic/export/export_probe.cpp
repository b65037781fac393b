// Writes a traffic log holding every kind of record (received, matched, sent,
// auto-reply; empty and largest payloads; a code page 932 comment) as pcapng and
// CSV through the exporters the window uses, and what each record holds as
// JSON, for check_export.py to compare with what tshark and Python read back.
//
//   vpx_traffic_export_probe FOLDER

#include "platform/CodePage.h"
#include "platform/HexText.h"
#include "platform/SafeFile.h"
#include "traffic/TrafficExport.h"
#include "traffic/TrafficLog.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string JsonString(std::string_view utf8)
{
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
            out += escaped;
        } else {
            out.push_back(c);
        }
    }
    return out + '"';
}

vpx::TrafficRecordPtr Record(std::size_t size, std::uint8_t kind, const std::string& address, std::uint16_t port,
                             const vpx::AnsiString& comment, std::int64_t time, unsigned seed)
{
    auto record = vpx::NewTrafficRecord(static_cast<std::int32_t>(size));
    for (std::size_t i = 0; i < size; ++i)
        record->Data[i] = static_cast<std::uint8_t>((i * 7 + seed) & 0xFF);
    record->Kind = kind;
    record->PeerAddress = address;
    record->PeerPort = port;
    record->Comment = comment;
    record->Time = time;
    return record;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const vpx::TrafficEndpoint local{"127.0.0.1", 50000};
    const vpx::AnsiString japanese = "\x8E\xA9\x93\xAE\x95\xD4\x90\x4D\x81\x45\x83\x65\x83\x58\x83\x67"; // 自動返信・テスト

    vpx::TTrafficLog log;
    const std::int64_t t0 = 1'765'000'000'000'000; // December 2025
    log.AddTrafficRecord(Record(3, vpx::tkReceived, "127.0.0.2", 40000, {}, t0 + 1, 1));
    log.AddTrafficRecord(Record(5, vpx::tkReceivedMatched, "127.0.0.2", 40000, "matched, \"quoted\"", t0 + 250, 2));
    log.AddTrafficRecord(Record(4, vpx::tkAutoReplySent, "127.0.0.3", 40001, japanese, t0 + 999'999, 3));
    log.AddTrafficRecord(Record(0, vpx::tkSent, "127.0.0.3", 40001, "empty", t0 + 1'000'000, 4));
    log.AddTrafficRecord(Record(0, vpx::tkReceived, "127.0.0.2", 65535, {}, t0 + 2'000'001, 5));
    log.AddTrafficRecord(Record(vpx::MaxUdpPayload, vpx::tkSent, "127.0.0.4", 1, "largest", t0 + 3'123'456, 6));
    log.AddTrafficRecord(Record(vpx::MaxUdpPayload, vpx::tkReceivedMatched, "127.0.0.4", 1, japanese, t0 + 4'000'000,
                                7));
    log.AddTrafficRecord(Record(1, vpx::tkAutoReplySent, "127.255.255.254", 40002, {}, t0 + 5'000'000, 8));
    // What a row with captures and one refused by a check add.
    auto captured = Record(4, vpx::tkReceivedMatched, "127.0.0.2", 40000, "r reg=7 id=01 02", t0 + 6'000'000, 9);
    captured->Fields = {{"reg", "7"}, {"id", "01 02"}};
    log.AddTrafficRecord(std::move(captured));
    auto refused = Record(2, vpx::tkReceived, "127.0.0.2", 40000, "note", t0 + 7'000'000, 10);
    refused->Check = "CRC-16/MODBUS: 12 34 received, C5 CD expected";
    log.AddTrafficRecord(std::move(refused));

    std::vector<const vpx::TTrafficRecord*> records;
    for (int row = 0; row < log.Count(); ++row)
        records.push_back(log.Record(row));

    if (vpx::ReplaceFileContents(folder + "/log.pcapng", vpx::ExportPcapng(records, local)) != vpx::ReplaceStatus::Ok ||
        vpx::ReplaceFileContents(folder + "/log.csv", vpx::ExportCsv(records)) != vpx::ReplaceStatus::Ok) {
        std::fprintf(stderr, "cannot write into %s\n", folder.c_str());
        return 1;
    }

    std::string json = "{\"local\":{\"address\":" + JsonString(local.Address) +
                       ",\"port\":" + std::to_string(local.Port) + "},\"records\":[\n";
    const vpx::TrafficTextNames names;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const vpx::TTrafficRecord& r = *records[i];
        json += i ? ",\n" : "";
        json += "{\"outgoing\":" + std::string(vpx::IsOutgoing(r) ? "true" : "false") +
                ",\"address\":" + JsonString(r.PeerAddress) + ",\"port\":" + std::to_string(r.PeerPort) +
                ",\"time_us\":" + std::to_string(r.Time) + ",\"hex\":" + JsonString(vpx::HexBytes(r.Data.data(), vpx::PayloadSize(r))) +
                ",\"comment\":" + JsonString(vpx::AnsiToUtf8(r.Comment)) +
                ",\"fields\":" + JsonString(vpx::FieldsText(r)) + ",\"check\":" + JsonString(r.Check) +
                ",\"direction\":" + JsonString(vpx::DirectionText(r, names)) + "}";
    }
    json += "\n]}\n";
    if (vpx::ReplaceFileContents(folder + "/expected.json", json) != vpx::ReplaceStatus::Ok)
        return 1;
    return 0;
}
