#include "app/core/u_land.h"
#include "app/u_main.h"
#include "maintenance/u_datenbankinitialisieren.h"
#include "maintenance/u_sqlkonsole.h"
#include "masterdata/u_artikelstammdaten.h"
#include "masterdata/u_kundenstammdaten.h"
#include "platform/core/guarded.h"
#include "platform/core/radiogroup.h"

#include <QPushButton>

void verdrahten()
{
    Tfrm_main *m = frm_main;
    m->onErsterStartSprache = [m] {
        frm_land->setUebernahmeZiel([m](int index) { m->rg_sprache->setItemIndex(index); });
        frm_land->exec();
    };
    // the hand-over buttons show only when the capture opens the windows
    QObject::connect(m->btn_artikel, &QPushButton::clicked, m, [] {
        if (auto *b = frm_artikelstammdaten->findChild<QPushButton *>(QStringLiteral("btn_uebergeben")))
            b->setVisible(false);
        frm_artikelstammdaten->show();
        frm_artikelstammdaten->raise();
        frm_artikelstammdaten->activateWindow();
    });
    QObject::connect(m->btn_kunden, &QPushButton::clicked, m, [] {
        if (auto *b = frm_kundenstammdaten->findChild<QPushButton *>(QStringLiteral("btn_uebergeben")))
            b->setVisible(false);
        frm_kundenstammdaten->show();
        frm_kundenstammdaten->raise();
        frm_kundenstammdaten->activateWindow();
    });
    // database maintenance: the fresh start and the console of the hidden panel
    QObject::connect(m->btn_datenbankleeren, &QPushButton::clicked, m,
                     [] { guarded([] { btn_datenbankleerenClick(frm_datenbankinitialisieren); }); });
    new TSqlKonsole(m->pnl_sql);
}
