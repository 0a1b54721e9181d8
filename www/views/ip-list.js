/*
 * Editor of an address list, used by the Network and Security views.
 * Not a view itself: it is not in the view table.
 */
const app = window.kvCore;
const $ = window.jQuery;
const { kui, T, Tf, input, toolbar, notify, isIPv4 } = app;

// Editor of an address list (server IP list, access list): list box,
// address field, add / replace / delete. send(action, newIP, oldIP).
export function ipListEditor(name, send, listLabel) {
    var $list = kui.el('div', { cls: 'kv-iplist', 'data-name': name });
    var lb = $list.kuiListBox({ emptyText: T('listEmpty'), label: listLabel });
    var $ip = input('newIP', '', { maxlength: 15, placeholder: '192.168.1.10', 'data-name': name + '-ip',
        'aria-label': T('newAddress') });
    var $err = kui.el('div', { cls: 'kv-form-error', role: 'alert' }).hide();
    lb.on('select', function (text) { $ip.val(text); $err.hide(); });
    $ip.on('input', function () { $err.hide(); });
    function checked() {
        var ip = $.trim($ip.val());
        if (!isIPv4(ip)) { $err.text(T('ipInvalid')).show(); return null; }
        $err.hide();
        return ip;
    }
    var add = kui.button({ text: T('add'), kind: 'primary', name: name + '-add', click: function () {
        var ip = checked();
        if (ip) send(add, 'insIP', ip, '').then(function () { $ip.val(''); notify(Tf('entryAdded', ip)); });
    } });
    var upd = kui.button({ text: T('replace'), name: name + '-upd', click: function () {
        var old = lb.selected();
        if (old === null) { $err.text(T('selectEntry')).show(); return; }
        var ip = checked();
        if (ip) send(upd, 'updIP', ip, old).then(function () { notify(Tf('entryReplaced', ip)); });
    } });
    var del = kui.button({ text: T('delete'), kind: 'danger', name: name + '-del', click: function () {
        var old = lb.selected();
        if (old === null) { $err.text(T('selectEntry')).show(); return; }
        $err.hide();
        kui.confirm(Tf('deleteEntryConfirm', old), function () {
            send(del, 'delIP', '', old).then(function () { $ip.val(''); notify(Tf('entryDeleted', old)); });
        }, T('delete'), T('delete'));
    } });
    var $el = kui.el('div', { cls: 'kv-iplist-editor' }, [
        $list,
        kui.el('div', { cls: 'kv-iplist-side' }, [$ip, $err, toolbar([add, upd, del])])
    ]);
    return { $el: $el, setItems: function (items) { lb.setItems(items); } };
}
