/*
 * Security view: the access list (black or white list of client addresses)
 * and the password policy in force.
 */
import { ipListEditor } from './ip-list.js';
import { forwardingSection } from './forwarding.js';

// The texts of the log forwarding section come with it.
export { texts } from './forwarding.js';

const app = window.kvCore;
const $ = window.jQuery;
const { kui, T, Tf, row, select, labelFor, section, busyCall, notify } = app;

export function build($p) {
    var $mode = select('ipsType', [['2', T('listOff')], ['0', T('blacklist')], ['1', T('whitelist')]], '2');
    // A mode chosen but not yet applied stays chosen when a reply redraws the view.
    var modeEdited = false;
    $mode.on('change', function () { modeEdited = true; });
    var applyMode = kui.button({ text: T('apply'), kind: 'primary', name: 'ips-type', click: function () {
        var type = $mode.val();
        var go = function () {
            busyCall(applyMode, 'modifyIPS', { ipsPara: { action: 'updType', type: type } }).then(function () {
                modeEdited = false;
                notify(T('listModeSaved'));
            });
        };
        if (type === '1') kui.confirm(T('whitelistConfirm'), go, T('accessList'), T('apply')); else go();
    } });
    var ips = ipListEditor('ips', function (btn, action, newIP, oldIP) {
        return busyCall(btn, 'modifyIPS', { ipsPara: { action: action, newIP: newIP, oldIP: oldIP } });
    }, T('accessList'));
    var $policy = kui.el('div', { cls: 'kv-policy' });
    $p.append(
        section(T('accessList'), [
            kui.el('div', { cls: 'kv-note', text: T('accessListNote') }),
            kui.el('div', { cls: 'kv-inline' }, [labelFor(T('listMode'), $mode), $mode, applyMode.$el]),
            ips.$el
        ]),
        section(T('passwordPolicy'), [$policy])
    );
    var forwarding = forwardingSection();
    $p.append(forwarding.$el);
    return { shown: forwarding.shown, render: function () {
        var t = app.snap.ips ? kui.str(app.snap.ips.type) : '';
        if (!modeEdited) $mode.val(t === '0' || t === '1' ? t : '2');
        ips.setItems($.map(kui.list(app.snap.ips && app.snap.ips.ips), function (e) { return kui.str(e.ip); }));
        var pol = (app.snap.curUser && app.snap.curUser.secureConf) || {};
        var tries = parseInt(pol.pwdTry, 10) || 0, days = parseInt(pol.pwdExpire, 10) || 0;
        $policy.empty().append(
            row(T('pwdTry'), kui.el('span', { cls: 'kv-static', text: tries > 0 ? Tf('pwdTryValue', tries) : T('never') })),
            row(T('pwdExpire'), kui.el('span', { cls: 'kv-static', text: days > 0 ? Tf('pwdExpireValue', days) : T('never') }))
        );
    } };
}
