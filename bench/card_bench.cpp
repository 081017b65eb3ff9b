// Reading a Thai ID card on the virtual reader (vsmartcard-vpcd, the card
// played by the tests' virtual_id_card.py): the text alone, and the text
// with the photo, as the card screen and the contract screen's polling read
// it; beside them one bare command and its answer, the floor of a read.
//
//   scripts/with-pcscd build/bench/card_bench
#include "devices/card_reader.h"
#include "virtual_card.h"

#include <PCSC/winscard.h>
#include <PCSC/wintypes.h>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tawela;

std::unique_ptr<test::VirtualCard> g_card, g_slowCard;

// The card in the first reader, answering at once.
void card()
{
    if (!g_card)
        g_card = std::make_unique<test::VirtualCard>(test::provincialCard(QString()));
}

// In the second reader, a card whose every answer takes 20 ms, as a slow
// reader's would: the count of commands shows.
void slowCard()
{
    if (g_slowCard)
        return;
    QJsonObject fields = test::provincialCard(QString());
    fields[QStringLiteral("answer_delay_ms")] = 20;
    g_slowCard = std::make_unique<test::VirtualCard>(fields, 1);
}

// A read on reader `slot` (0 at once, 1 slow), with the photo or without.
void BM_Read(benchmark::State& state, int slot, bool withPhoto)
{
    slot == 0 ? card() : slowCard();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            devices::CardReader().read(test::virtualReader(slot), {}, withPhoto));
}
BENCHMARK_CAPTURE(BM_Read, TextAndPhoto_20msACommand, 1, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Read, TextOnly_20msACommand, 1, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Read, TextAndPhoto, 0, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Read, TextOnly, 0, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();

// One SELECT and its answer: what every command of a read costs at least.
void BM_OneCommand(benchmark::State& state)
{
    card();
    SCARDCONTEXT ctx = 0;
    SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &ctx);
    const QByteArray name = test::virtualReader().toUtf8();
    SCARDHANDLE h = 0;
    DWORD protocol = 0;
    SCardConnect(ctx, name.constData(), SCARD_SHARE_SHARED, SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1,
                 &h, &protocol);
    const BYTE select[] = {0x00, 0xA4, 0x04, 0x00, 0x08, 0xA0, 0x00,
                           0x00, 0x00, 0x54, 0x48, 0x00, 0x01};
    const SCARD_IO_REQUEST* pci = protocol == SCARD_PROTOCOL_T1 ? SCARD_PCI_T1 : SCARD_PCI_T0;
    for (auto _ : state) {
        BYTE answer[258];
        DWORD length = sizeof answer;
        SCardTransmit(h, pci, select, sizeof select, nullptr, answer, &length);
    }
    SCardDisconnect(h, SCARD_LEAVE_CARD);
    SCardReleaseContext(ctx);
}
BENCHMARK(BM_OneCommand)->Unit(benchmark::kMillisecond)->Iterations(50)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (!test::virtualReaderThere()) {
        fprintf(stderr, "no smart-card service with the virtual reader (scripts/with-pcscd)\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    g_card.reset();
    g_slowCard.reset();
    benchmark::Shutdown();
    return 0;
}
