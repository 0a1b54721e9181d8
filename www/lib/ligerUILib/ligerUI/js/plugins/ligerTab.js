/*
 * Tabs: a strip of tab titles above one panel per tab; one panel is shown.
 *
 *   var tabs = $('#t').kuiTab({tabs: [{id: 'users', title: 'Users'}, ...]});
 *   tabs.panel('users').append(...); tabs.select('users');
 *   tabs.on('select', function (id) {...});
 *
 * Keyboard: the selected title is the strip's one Tab stop; Left/Right
 * (wrapping), Home and End select and focus another tab.
 */
(function (window, $) {
    'use strict';

    var kui = window.kui;

    var Tab = kui.extend(kui.Widget, function Tab($el, options) {
        kui.Widget.call(this, $el);
        var self = this;
        this.items = {};
        this.current = null;
        $el.empty().addClass('kui-tab');
        this.$strip = kui.el('ul', { cls: 'kui-tab-strip', role: 'tablist' });
        this.$body = kui.el('div', { cls: 'kui-tab-body' });
        $el.append(this.$strip, this.$body);
        $.each(options.tabs || [], function (i, t) { self.add(t.id, t.title); });
        if (options.tabs && options.tabs.length) this.select(options.tabs[0].id);
    }, {
        // Adds a tab at the end; returns its panel.
        add: function (id, title) {
            var self = this;
            var titleId = kui.uid('tab'), panelId = kui.uid('panel');
            var $title = kui.el('li', {
                cls: 'kui-tab-title', role: 'tab', text: title, 'data-tab': id, tabindex: -1,
                id: titleId, 'aria-controls': panelId,
                on: {
                    click: function () { self.select(id); },
                    keydown: function (e) { self.onKey(e, id); }
                }
            });
            var $panel = kui.el('div', { cls: 'kui-tab-panel', role: 'tabpanel', 'data-tab': id,
                id: panelId, 'aria-labelledby': titleId }).hide();
            this.$strip.append($title);
            this.$body.append($panel);
            this.items[id] = { $title: $title, $panel: $panel };
            return $panel;
        },
        panel: function (id) { return this.items[id] && this.items[id].$panel; },
        setTitle: function (id, text) { if (this.items[id]) this.items[id].$title.text(text); },
        show: function (id, visible) {
            if (!this.items[id]) return;
            this.items[id].$title.toggle(visible);
            if (!visible && this.current === id) {
                var first = this.$strip.children(':visible').first().attr('data-tab');
                if (first) this.select(first);
            }
        },
        selected: function () { return this.current; },
        onKey: function (e, id) {
            if (e.which === 13 || e.which === 32) { e.preventDefault(); this.select(id); return; }
            var ids = $.map(this.$strip.children(':visible'), function (li) { return $(li).attr('data-tab'); });
            var i = $.inArray(id, ids);
            var to = { 37: i - 1, 39: i + 1, 36: 0, 35: ids.length - 1 }[e.which];
            if (to === undefined || !ids.length) return;
            e.preventDefault();
            var next = ids[(to + ids.length) % ids.length];
            this.select(next);
            this.items[next].$title.focus();
        },
        select: function (id) {
            if (!this.items[id]) return;
            $.each(this.items, function (k, it) {
                it.$title.toggleClass('kui-tab-selected', k === id).attr({ 'aria-selected': k === id, tabindex: k === id ? 0 : -1 });
                it.$panel.toggle(k === id);
            });
            var changed = this.current !== id;
            this.current = id;
            if (changed) this.emit('select', id);
        },
        destroyContent: function () { this.$el.empty().removeClass('kui-tab'); }
    });

    kui.inject('Tab', Tab);
})(window, jQuery);
