/*
 * Sessions view: who is logged in now (user, address, since, last request).
 * Administrators see every session and may end one; everyone else sees
 * their own. Ending a session logs that user out at their next request;
 * KVM sessions the switch already granted are the switch's and run on.
 */
const app = window.kvCore;
const $ = window.jQuery;
const { kui, T, Tf, toolbar, section, busyCall, notify, myLevel } = app;

export const texts = {
    en: {
        tab_sessions: 'Sessions', sessionsList: 'Logged in now', noSessions: 'Nobody is logged in.',
        sessionUser: 'User', sessionAddress: 'Address', sessionSince: 'Since', sessionLast: 'Last request',
        sessionOwn: '{0} (you)', endSession: 'End session', endSessionTitle: 'End the session of {0}',
        endSessionConfirm: '{0} is logged out at once and must log in again. KVM sessions already granted on the consoles run on.',
        endSessionDone: 'The session of {0} is ended.', endOwnSession: 'Your own session ends with Log out.',
        sessionsNote: 'KVM sessions already granted on the consoles are not ended with a session.',
        op_endSession: 'Session ended', logw_address: 'Address'
    },
    de: {
        tab_sessions: 'Sitzungen', sessionsList: 'Jetzt angemeldet', noSessions: 'Niemand ist angemeldet.',
        sessionUser: 'Benutzer', sessionAddress: 'Adresse', sessionSince: 'Seit', sessionLast: 'Letzte Anfrage',
        sessionOwn: '{0} (Sie)', endSession: 'Sitzung beenden', endSessionTitle: 'Sitzung von {0} beenden',
        endSessionConfirm: '{0} wird sofort abgemeldet und muss sich neu anmelden. Bereits gew\u00e4hrte KVM-Sitzungen an den Konsolen laufen weiter.',
        endSessionDone: 'Die Sitzung von {0} ist beendet.', endOwnSession: 'Die eigene Sitzung endet mit Abmelden.',
        sessionsNote: 'Bereits gew\u00e4hrte KVM-Sitzungen an den Konsolen enden nicht mit einer Sitzung.',
        op_endSession: 'Sitzung beendet', logw_address: 'Adresse'
    },
    zh: {
        tab_sessions: '\u4f1a\u8bdd', sessionsList: '\u5f53\u524d\u767b\u5f55', noSessions: '\u6ca1\u6709\u4eba\u767b\u5f55\u3002',
        sessionUser: '\u7528\u6237', sessionAddress: '\u5730\u5740', sessionSince: '\u767b\u5f55\u65f6\u95f4', sessionLast: '\u6700\u540e\u8bf7\u6c42',
        sessionOwn: '{0}\uff08\u60a8\uff09', endSession: '\u7ed3\u675f\u4f1a\u8bdd', endSessionTitle: '\u7ed3\u675f {0} \u7684\u4f1a\u8bdd',
        endSessionConfirm: '{0} \u5c06\u7acb\u5373\u9000\u51fa\uff0c\u987b\u91cd\u65b0\u767b\u5f55\u3002\u5df2\u6388\u4e88\u7684 KVM \u4f1a\u8bdd\u7ee7\u7eed\u8fd0\u884c\u3002',
        endSessionDone: '{0} \u7684\u4f1a\u8bdd\u5df2\u7ed3\u675f\u3002', endOwnSession: '\u81ea\u5df1\u7684\u4f1a\u8bdd\u8bf7\u7528\u201c\u9000\u51fa\u201d\u7ed3\u675f\u3002',
        sessionsNote: '\u7ed3\u675f\u4f1a\u8bdd\u4e0d\u4f1a\u7ed3\u675f\u5df2\u6388\u4e88\u7684 KVM \u4f1a\u8bdd\u3002',
        op_endSession: '\u4f1a\u8bdd\u5df2\u7ed3\u675f', logw_address: '\u5730\u5740'
    }
};

export function build($p) {
    var admin = myLevel() >= 3;
    var rows = [];
    var btnEnd = kui.button({ text: T('endSession'), kind: 'danger', name: 'session-end', click: function () { endSession(grid.selected()); } });
    var $why = kui.el('span', { cls: 'kv-note', id: 'kv-session-end-why' });
    var $grid = kui.el('div', { cls: 'kv-grid-sessions' });
    var grid = $grid.kuiGrid({
        label: T('sessionsList'),
        rowId: function (s) { return s.userID; },
        emptyText: T('noSessions'),
        columns: [
            { name: 'userNM', display: T('sessionUser'), render: function (s) { return s.own === '1' ? Tf('sessionOwn', s.userNM) : kui.str(s.userNM); } },
            { name: 'ip', display: T('sessionAddress') },
            { name: 'since', display: T('sessionSince') },
            { name: 'lastRequest', display: T('sessionLast') }
        ]
    });

    function updateButton() {
        var s = grid.selected();
        var own = !!s && s.own === '1';
        btnEnd.enable(!!s && !own);
        // A disabled button says why.
        $why.text(own ? T('endOwnSession') : '');
        btnEnd.$el.attr('aria-describedby', own ? 'kv-session-end-why' : null);
    }

    function load() {
        return app.call('selSessions', {}, { quiet: true, noSnapshot: true }).then(function (reply) {
            rows = kui.list(reply.sessions);
            grid.setData(rows);
            updateButton();
        });
    }

    function endSession(s) {
        if (!s) return;
        var dlg = kui.dialog({
            title: Tf('endSessionTitle', s.userNM), width: 440, alert: true,
            content: kui.el('div', { cls: 'kui-message kui-message-question' }, [
                kui.el('div', { cls: 'kui-message-text', text: Tf('endSessionConfirm', s.userNM) })
            ]),
            buttons: [
                { text: T('endSession'), kind: 'danger', name: 'end', click: function (d) {
                    d.close();
                    busyCall(btnEnd, 'endSession', { sessionPara: { id: s.userID } }).then(function () {
                        notify(Tf('endSessionDone', s.userNM));
                        load().always(function () { grid.$el.find('[tabindex="0"]').first().focus(); });
                    });
                } },
                { text: T('cancel'), name: 'cancel', click: function (d) { d.close(); } }
            ]
        });
        dlg.$el.find('[data-name="cancel"]').focus();
    }

    grid.on('select', updateButton);
    if (admin) grid.on('delete', function () { if (!btnEnd.$el.prop('disabled')) btnEnd.$el.click(); });
    var parts = [];
    if (admin) parts.push(toolbar([btnEnd]), $why);
    parts.push($grid, kui.el('div', { cls: 'kv-note', text: T('sessionsNote') }));
    $p.append(section(T('tab_sessions'), parts));
    return { shown: load, refresh: load };
}
