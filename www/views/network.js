/*
 * Network view: the switch's own settings (identity, addresses, ports) and
 * its server IP list.
 */
import { ipListEditor } from './ip-list.js';

const app = window.kvCore;
const $ = window.jQuery;
const { kui, T, Tf, row, input, select, field, toolbar, section, formError, busyCall, notify, isIPv4, isPort } = app;

export function build($p) {
    var $form = kui.el('form', { cls: 'kv-form', 'data-name': 'server' }).on('submit', function (e) { e.preventDefault(); });
    $form.append(
        row(T('deviceId'), input('uid', '')),
        row(T('deviceName'), input('nm', '')),
        row(T('encrypt'), select('encrypt', [['0', T('logw_des')], ['1', T('logw_3des')], ['2', T('logw_aes')]], '0')),
        row(T('ip'), input('ip', '', { maxlength: 15 })),
        row(T('subnetMask'), input('subnetMask', '', { maxlength: 15 })),
        row(T('gateway'), input('gateway', '', { maxlength: 15 })),
        row(T('portKM'), input('portKM', '', { maxlength: 5 })),
        row(T('portV'), input('portV', '', { maxlength: 5 })),
        row(T('portWeb'), input('portWeb', '', { maxlength: 5 })),
        row(T('ntpServer'), kui.el('span', { cls: 'kv-static', 'data-name': 'ntpServer' })),
        row(T('snmpServer'), kui.el('span', { cls: 'kv-static', 'data-name': 'snmpServer' }))
    );
    var save = kui.button({ text: T('save'), kind: 'primary', name: 'server-save', click: saveServer });
    var reset = kui.button({ text: T('reset'), name: 'server-reset', click: function () { fill(true); formError($form, ''); } });
    var servers = ipListEditor('serverips', function (btn, action, newIP, oldIP) {
        return busyCall(btn, 'modifyServerIPS', { serveripsPara: { action: action, newIP: newIP, oldIP: oldIP } });
    }, T('serverIPList'));
    $p.append(
        section(T('serverSettings'), [kui.el('div', { cls: 'kv-note', text: T('serverNote') }), $form, toolbar([save, reset])]),
        section(T('serverIPList'), [servers.$el])
    );
    // Every reply redraws the views: the settings the person has begun to
    // change stay as typed until they are saved or reset.
    var edited = false;
    $form.on('input change', function () { edited = true; });
    function fill(force) {
        if (edited && !force) return;
        edited = false;
        var s = app.snap.server || {};
        $.each(['uid', 'nm', 'encrypt', 'ip', 'subnetMask', 'gateway', 'portKM', 'portV', 'portWeb'], function (i, k) {
            $form.find('[name=' + k + ']').val(kui.str(s[k]));
        });
        $form.find('[data-name=ntpServer]').text(kui.str(s.ntpServer) || '--');
        $form.find('[data-name=snmpServer]').text(kui.str(s.snmpServer) || '--');
    }
    function saveServer() {
        var v = {};
        $.each(['uid', 'nm', 'encrypt', 'ip', 'subnetMask', 'gateway', 'portKM', 'portV', 'portWeb'], function (i, k) { v[k] = field($form, k); });
        var bad = null;
        $.each(['ip', 'subnetMask', 'gateway'], function (i, k) { if (!bad && !isIPv4(v[k])) bad = Tf('fieldInvalid', T(k)); });
        $.each(['portKM', 'portV', 'portWeb'], function (i, k) { if (!bad && !isPort(v[k])) bad = Tf('fieldInvalid', T(k)); });
        if (bad) return formError($form, bad);
        formError($form, '');
        var s = app.snap.server || {};
        var restart = false;
        $.each(['ip', 'subnetMask', 'gateway', 'portKM', 'portV', 'portWeb'], function (i, k) { if (v[k] !== kui.str(s[k])) restart = true; });
        var send = function () {
            busyCall(save, 'updServer', { server: v }).then(function () { fill(true); notify(T('saved')); });
        };
        if (restart) kui.confirm(T('serverRestartConfirm'), send, T('serverSettings'), T('save'));
        else send();
    }
    return { render: function () {
        fill();
        servers.setItems($.map(kui.list(app.snap.serverips && app.snap.serverips.serverips), function (e) { return kui.str(e.ip); }));
    } };
}
