/*
 * Log forwarding: the two syslog collectors that receive every record of the
 * operation log, their settings and how far delivery has got (last record
 * delivered, backlog, records lost, last error). A section of the security
 * view.
 */
const app = window.kvCore;
const $ = window.jQuery;
const { kui, T, Tf, row, input, select, field, toolbar, section, formError, busyCall, call, notify, reasonText } = app;

export const texts = {
    en: {
        fwd_title: 'Log forwarding', fwd_collector: 'Collector {0}',
        fwd_note: 'Every record of the operation log is also sent to these syslog collectors (RFC 5424). An empty host switches a collector off.',
        fwd_host: 'Host', fwd_port: 'Port', fwd_protocol: 'Protocol', fwd_facility: 'Facility',
        fwd_ca: 'CA certificates (PEM, for TLS)', fwd_caFile: 'Read from a file', fwd_test: 'Send test message',
        fwd_testSent: 'The collector took the test message.', fwd_state: 'Delivery',
        fwd_stateValue: 'last record delivered {0}, backlog {1}, records lost {2}',
        fwd_delivered: 'last delivery {0}', fwd_error: 'last error {0}: {1}', fwd_skipped: 'skipped until {0}',
        fwd_off: 'not set up'
    },
    de: {
        fwd_title: 'Protokollweiterleitung', fwd_collector: 'Kollektor {0}',
        fwd_note: 'Jeder Eintrag des Betriebsprotokolls geht auch an diese Syslog-Kollektoren (RFC 5424). Ein leerer Host schaltet einen Kollektor ab.',
        fwd_host: 'Host', fwd_port: 'Port', fwd_protocol: 'Protokoll', fwd_facility: 'Facility',
        fwd_ca: 'CA-Zertifikate (PEM, f\u00fcr TLS)', fwd_caFile: 'Aus Datei lesen', fwd_test: 'Testnachricht senden',
        fwd_testSent: 'Der Kollektor hat die Testnachricht angenommen.', fwd_state: 'Zustellung',
        fwd_stateValue: 'zuletzt zugestellter Eintrag {0}, R\u00fcckstand {1}, verlorene Eintr\u00e4ge {2}',
        fwd_delivered: 'letzte Zustellung {0}', fwd_error: 'letzter Fehler {0}: {1}', fwd_skipped: '\u00fcbersprungen bis {0}',
        fwd_off: 'nicht eingerichtet',
        // The phrases of a delivery error (the system's reason follows after ": ").
        'fwd_err_not a loopback address': 'keine Loopback-Adresse', 'fwd_err_name lookup failed': 'Namensaufl\u00f6sung fehlgeschlagen',
        'fwd_err_name lookup timeout': 'Zeit\u00fcberschreitung bei der Namensaufl\u00f6sung', 'fwd_err_name not found': 'Name nicht gefunden',
        'fwd_err_connect failed': 'Verbindung fehlgeschlagen', 'fwd_err_connect timeout': 'Zeit\u00fcberschreitung beim Verbinden',
        'fwd_err_write timeout': 'Zeit\u00fcberschreitung beim Senden', 'fwd_err_write failed': 'Senden fehlgeschlagen',
        'fwd_err_send failed': 'Senden fehlgeschlagen', 'fwd_err_collector reset the connection': 'der Kollektor hat die Verbindung zur\u00fcckgesetzt',
        'fwd_err_collector did not read': 'der Kollektor hat nicht gelesen', 'fwd_err_TLS setup failed': 'TLS-Einrichtung fehlgeschlagen',
        'fwd_err_host name': 'Hostname', 'fwd_err_no valid CA certificate': 'kein g\u00fcltiges CA-Zertifikat',
        'fwd_err_certificate refused': 'Zertifikat abgelehnt', 'fwd_err_TLS handshake timeout': 'Zeit\u00fcberschreitung beim TLS-Handshake',
        'fwd_err_TLS handshake failed': 'TLS-Handshake fehlgeschlagen', 'fwd_err_TLS write failed': 'TLS-Senden fehlgeschlagen',
        'fwd_err_TLS read failed': 'TLS-Lesen fehlgeschlagen', 'fwd_err_TLS close failed': 'TLS-Abschluss fehlgeschlagen'
    },
    zh: {
        fwd_title: '\u65e5\u5fd7\u8f6c\u53d1', fwd_collector: '\u6536\u96c6\u5668 {0}',
        fwd_note: '\u64cd\u4f5c\u65e5\u5fd7\u7684\u6bcf\u6761\u8bb0\u5f55\u90fd\u4f1a\u53d1\u9001\u5230\u8fd9\u4e9b syslog \u6536\u96c6\u5668\uff08RFC 5424\uff09\u3002\u4e3b\u673a\u4e3a\u7a7a\u5219\u5173\u95ed\u8be5\u6536\u96c6\u5668\u3002',
        fwd_host: '\u4e3b\u673a', fwd_port: '\u7aef\u53e3', fwd_protocol: '\u534f\u8bae', fwd_facility: '\u8bbe\u65bd',
        fwd_ca: 'CA \u8bc1\u4e66\uff08PEM\uff0c\u7528\u4e8e TLS\uff09', fwd_caFile: '\u4ece\u6587\u4ef6\u8bfb\u53d6', fwd_test: '\u53d1\u9001\u6d4b\u8bd5\u6d88\u606f',
        fwd_testSent: '\u6536\u96c6\u5668\u5df2\u63a5\u6536\u6d4b\u8bd5\u6d88\u606f\u3002', fwd_state: '\u6295\u9012',
        fwd_stateValue: '\u6700\u540e\u6295\u9012\u8bb0\u5f55 {0}\uff0c\u79ef\u538b {1}\uff0c\u4e22\u5931\u8bb0\u5f55 {2}',
        fwd_delivered: '\u6700\u540e\u6295\u9012 {0}', fwd_error: '\u6700\u540e\u9519\u8bef {0}\uff1a{1}', fwd_skipped: '\u8df3\u8fc7\u76f4\u5230 {0}',
        fwd_off: '\u672a\u8bbe\u7f6e'
    }
};

const FACILITIES = ['local0', 'local1', 'local2', 'local3', 'local4', 'local5', 'local6', 'local7',
    'user', 'daemon', 'auth', 'authpriv', 'syslog'];

// One collector's form and its delivery state.
function collectorForm(slot, reload) {
    var $form = kui.el('form', { cls: 'kv-form', 'data-name': 'syslog-' + slot }).on('submit', function (e) { e.preventDefault(); });
    var $ca = kui.el('textarea', { name: 'ca', cls: 'kv-input', rows: 4, spellcheck: 'false' });
    var $file = kui.el('input', { type: 'file', accept: '.pem,.crt,.cer', 'aria-label': T('fwd_caFile') }).on('change', function () {
        var f = this.files && this.files[0];
        if (!f) return;
        var reader = new FileReader();
        reader.onload = function () { $ca.val(String(reader.result)); };
        reader.readAsText(f);
    });
    var $state = kui.el('div', { cls: 'kv-static', 'data-name': 'syslog-state-' + slot, 'aria-live': 'polite' });
    $form.append(
        row(T('fwd_host'), input('host', '', { maxlength: 253 })),
        row(T('fwd_port'), input('port', '', { maxlength: 5 })),
        row(T('fwd_protocol'), select('protocol', [['udp', 'UDP'], ['tcp', 'TCP'], ['tls', 'TLS']], 'tcp')),
        row(T('fwd_facility'), select('facility', $.map(FACILITIES, function (f) { return [[f, f]]; }), 'local0')),
        row(T('fwd_ca'), kui.el('div', {}, [$ca, $file])),
        row(T('fwd_state'), $state)
    );
    var save = kui.button({ text: T('save'), kind: 'primary', name: 'syslog-save-' + slot, click: function () {
        formError($form, '');
        var v = { slot: String(slot), host: field($form, 'host'), port: field($form, 'port'),
            protocol: field($form, 'protocol'), facility: field($form, 'facility'), ca: $ca.val() };
        busyCall(save, 'setSyslog', { syslog: v }).then(function () { notify(T('saved')); reload(); });
    } });
    var test = kui.button({ text: T('fwd_test'), name: 'syslog-test-' + slot, click: function () {
        busyCall(test, 'testSyslog', { syslog: { slot: String(slot) } }).then(function () { notify(T('fwd_testSent')); });
    } });
    return {
        $el: section(Tf('fwd_collector', slot), [$form, toolbar([save, test])]),
        fill: function (c) {
            c = c || {};
            $form.find('[name=host]').val(kui.str(c.host));
            $form.find('[name=port]').val(c.host ? kui.str(c.port) : '');
            $form.find('[name=protocol]').val(kui.str(c.protocol) || 'tcp');
            $form.find('[name=facility]').val(kui.str(c.facility) || 'local0');
            $ca.val(kui.str(c.ca));
            if (!c.host) { $state.text(T('fwd_off')); return; }
            var lines = [Tf('fwd_stateValue', kui.str(c.delivered), kui.str(c.backlog), kui.str(c.lost))];
            if (c.deliveredAt) lines.push(Tf('fwd_delivered', c.deliveredAt));
            if (c.lastError) lines.push(Tf('fwd_error', kui.str(c.lastErrorAt), reasonText(c.lastError, 'fwd_err_')));
            if (c.skippedUntil) lines.push(Tf('fwd_skipped', c.skippedUntil));
            $state.text(lines.join('; '));
        }
    };
}

// The section; its shown() reads the settings and the state anew.
export function forwardingSection() {
    var forms = [];
    var $el;
    // A delivery runs after the reply of the request that wrote the record:
    // while records wait and no outcome is known yet, the state is read again
    // each second, a few times (each read is a request that extends the
    // session, so not for ever), so that it shows the outcome by itself.
    function reload(tries) {
        var left = typeof tries === 'number' ? tries : 5;
        // A read of this section's own state: it does not redraw the other
        // views, whose forms may hold what the person is typing.
        call('selSyslog', {}, { quiet: true, noSnapshot: true }).then(function (reply) {
            var list = kui.list(reply.syslog);
            $.each(forms, function (i, f) { f.fill(list[i]); });
            var pending = $.grep(list, function (c) { return c && c.host && Number(c.backlog) > 0 && !c.lastError; });
            if (pending.length && left > 0 && $.contains(document.documentElement, $el[0])) {
                setTimeout(function () { reload(left - 1); }, 1000);
            }
        });
    }
    forms.push(collectorForm(1, reload), collectorForm(2, reload));
    $el = kui.el('div', { 'data-name': 'log-forwarding' }, [
        kui.el('h2', { cls: 'kv-section-title', text: T('fwd_title') }),
        kui.el('div', { cls: 'kv-note', text: T('fwd_note') })
    ].concat($.map(forms, function (f) { return f.$el; })));
    return { $el: $el, shown: function () { reload(); } };
}
